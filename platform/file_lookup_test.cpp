#include "platform/file_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/memory_file_system.h"

namespace dravonix {

TEST(FileLookup, ReadsNamesAsWindowsDoesInsideTheTree) {
    MemoryFileSystem files;
    for (const char* name :
         {"Images/Pad_Normal.JPG", "Images/Sub/x.png", "exact/EXACT.png", "exact/exact.png",
          "exact/Exact2.png", "exact/EXACT2.png", "\xC3\xA4rger.png", "de/click.wav"}) {
        files.AddFile("/kbd/" + std::string(name), "x");
    }
    files.AddFile("/secret/s.gif", "x");
    files.AddLink("/kbd/Images/out.gif", "/secret/s.gif");
    files.AddLink("/kbd/Images/in.gif", "../exact/exact.png");
    struct Case {
        const char* from;
        const char* name;
        LookupOutcome outcome;
        const char* relative;  // when found
        bool case_differs;
    };
    const LookupOutcome found = LookupOutcome::kFound;
    const LookupOutcome missing = LookupOutcome::kNotFound;
    const LookupOutcome outside = LookupOutcome::kOutsideFolder;
    const Case cases[] = {
        {"", "images\\pad_normal.jpg", found, "Images/Pad_Normal.JPG", true},
        {"", "IMAGES/PAD_NORMAL.jpg", found, "Images/Pad_Normal.JPG", true},
        {"", "Images\\.\\Sub\\x.png", found, "Images/Sub/x.png", false},
        // ".." is a step on the name: the folder before it need not exist.
        {"", "images\\nowhere\\..\\pad_normal.jpg", found, "Images/Pad_Normal.JPG", true},
        {"", "Images\\\\Pad_Normal.JPG", found, "Images/Pad_Normal.JPG", false},
        {"", "exact\\exact.png", found, "exact/exact.png", false},  // the exact name first
        {"", "exact\\Exact.png", found, "exact/EXACT.png", true},   // else the first in byte order
        {"", "exact\\exact2.png", found, "exact/EXACT2.png", true},
        {"", "\xC3\x84RGER.PNG", found, "\xC3\xA4rger.png", true},  // Ä matches ä
        {"", "Images\\in.gif", found, "Images/in.gif", false},      // a link that stays inside
        {"de", "..\\exact\\exact.png", found, "exact/exact.png", false},
        {"de", "CLICK.WAV", found, "de/click.wav", true},
        {"de", "..\\EXACT\\exact.png", found, "exact/exact.png", true},
        {"", "images\\missing.jpg", missing, nullptr, false},
        {"", "images\\pad_normal.jpg\\x", missing, nullptr, false},
        {"", "images\\", missing, nullptr, false},
        {"", "images\\sub\\..", missing, nullptr, false},
        {"", "\\images\\pad_normal.jpg", missing, nullptr, false},
        {"", "C:\\images\\pad_normal.jpg", missing, nullptr, false},
        {"", "", missing, nullptr, false},
        {"", "..\\secret\\s.gif", outside, nullptr, false},
        {"de", "..\\..\\secret\\s.gif", outside, nullptr, false},
        {"", "images\\out.gif", outside, nullptr, false},
    };
    FileLookup lookup(files, "/kbd");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " | " + c.name);
        const FoundFile file = lookup.Find(c.from, c.name);
        EXPECT_EQ(file.outcome, c.outcome);
        if (c.outcome != found) continue;
        EXPECT_EQ(file.relative, c.relative);
        EXPECT_EQ(file.path, "/kbd/" + std::string(c.relative));
        EXPECT_EQ(file.case_differs, c.case_differs);
        EXPECT_EQ(file.info.kind, FileKind::kFile);
        EXPECT_EQ(file.info.size, 1u);
    }
}

}  // namespace dravonix
