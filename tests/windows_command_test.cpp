// End-to-end tests of what the commands do on Windows alone: neither cmd nor
// PowerShell expands "*.kbd", so the commands that take many files do.
#include <gtest/gtest.h>

#include <string>

#include "testing/test_util.h"

namespace dravonix {

TEST(WindowsCommands, TheCheckExpandsFilePatterns) {
    ScratchDir dir;
    const std::string keyboard = "[KEYDEF]\nBoard\n[/KEYDEF]\n";
    for (const char* name : {"b.kbd", "A.KBD", "\xC3\x9C.kbd", "c.kbd.bak", "d.txt"}) {
        WriteFile(dir / name, keyboard);
    }
    const CommandResult result =
        RunCommand(DRAVONIX_CHECK_BIN, {"-q", dir / "*.kbd", dir / "none*.kbd"});
    EXPECT_EQ(result.exit_code, 2);
    const std::string summary =
        ": 1 panel, 0 keys, 0 macros, 0 sounds; 0 warnings (read as .kbd)\n";
    EXPECT_EQ(result.out,
              ConsoleText(dir / "A.KBD" + summary + dir / "b.kbd" + summary + dir / "\xC3\x9C.kbd" +
                          summary + "4 files checked: 3 clean, 0 with warnings, 1 unreadable\n"));
    // A pattern that matches nothing stays as it was given.
    EXPECT_TRUE(result.err.starts_with(dir / "none*.kbd: error: cannot open: ")) << result.err;
}

}  // namespace dravonix
