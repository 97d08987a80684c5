// The check of legacy keyboard files: the reader's reports become findings
// in the report form, and a file that cannot be opened is unreadable.
#include "check/kbd_check.h"

#include <gtest/gtest.h>

#include <string>

namespace dravonix {

TEST(KbdCheck, ReportsBecomeFindingsInTheCompilersForm) {
    CheckReport report;
    KbdFindingCollector collector(report);
    collector.Report(12, KbdIssue::kUnclosedKeydef,
                     "the KEYDEF block begun here has no \"[/KEYDEF]\": its 3 keys are dropped");
    collector.Report(3, KbdIssue::kLoneCr, "a CR without LF stays in the line");
    // Text quoted from the file is Windows-1252; the report is UTF-8.
    collector.Report(4, KbdIssue::kUnknownHeader,
                     "line \"Gr\xF6\xDF"
                     "e \x80\" is no header key");
    ASSERT_EQ(report.findings.size(), 3u);
    EXPECT_EQ(report.findings[2].message, "line \"Gr\u00f6\u00dfe \u20ac\" is no header key");
    EXPECT_EQ(FormatFinding("pad.kbd", report.findings[0]),
              "pad.kbd:12: warning: the KEYDEF block begun here has no \"[/KEYDEF]\": its 3 keys "
              "are dropped [unclosed-keydef]");
    EXPECT_EQ(FormatFinding("pad.kbd", report.findings[1]),
              "pad.kbd:3: warning: a CR without LF stays in the line [lone-cr]");
}

TEST(KbdCheck, CleanExampleAndMissingFile) {
    CheckReport report;
    CheckKbdFile(DRAVONIX_SOURCE_DIR "/examples/compact_pad.kbd", report);
    EXPECT_TRUE(report.readable);
    EXPECT_TRUE(report.findings.empty());
    EXPECT_EQ(FormatSummary("pad.kbd", report),
              "pad.kbd: 2 panels, 20 keys, 2 macros, 4 sounds; 0 warnings");

    CheckKbdFile(DRAVONIX_SOURCE_DIR "/examples/no such file.kbd", report);
    EXPECT_FALSE(report.readable);
    EXPECT_EQ(report.error.rfind("cannot open: ", 0), 0u) << report.error;
    EXPECT_EQ(report.error.find("no such file.kbd"), std::string::npos) << report.error;
}

}  // namespace dravonix
