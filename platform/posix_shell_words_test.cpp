// Quoting for POSIX shells, tried on the shell itself: what it receives is
// the name as it was, whatever the name holds.
#include <gtest/gtest.h>

#include <string>

#include "platform/shell_words.h"
#include "testing/test_util.h"

namespace dravonix {

TEST(ShellWords, TheShellGivesBackWhatWasQuoted) {
    struct Case {
        std::string argument;
        std::string quoted;
    };
    const Case cases[] = {
        {"pad.kbd", "\"pad.kbd\""},
        {"my pad (old) & new; 'x'.kbd", "\"my pad (old) & new; 'x'.kbd\""},
        {"$HOME `id` \\ \"x\".kbd", "'$HOME `id` \\ \"x\".kbd'"},
        {"it's 100%!.kbd", "'it'\\''s 100%!.kbd'"},
        {"two\nlines.kbd", "'two\nlines.kbd'"},
        {"Übersicht €.kbd", "\"Übersicht €.kbd\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteForShell(c.argument), c.quoted);
        const CommandResult shell = RunCommand("/bin/sh", {"-c", "printf %s " + c.quoted});
        EXPECT_EQ(shell.out, c.argument) << c.quoted;
    }
    EXPECT_EQ(CommandFileName("dravonix-check"), "dravonix-check");
}

}  // namespace dravonix
