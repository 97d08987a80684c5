// The check of legacy keyboard files: the reader's reports become findings
// in the report form, and a file that cannot be opened is unreadable.
#include "check/kbd_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "check/report_text.h"
#include "kbd/kbd_reader.h"

namespace dravonix {

namespace {

/// A file whose reads fail once `readable` bytes of content are delivered,
/// as a disk or network error would cut it; reads hand out at most 4096
/// bytes each.
class FailingFile : public ReadableFile {
public:
    FailingFile(std::string content, std::size_t readable)
        : content_(std::move(content)), readable_(readable) {}
    bool Read(char* buffer, std::size_t size, std::size_t* got, std::string* error) override {
        if (done_ == readable_) {
            if (error != nullptr) *error = "in.kbd: Input/output error";
            return false;
        }
        *got = std::min({size, std::size_t{4096}, readable_ - done_});
        content_.copy(buffer, *got, done_);
        done_ += *got;
        return true;
    }

private:
    std::string content_;
    std::size_t readable_;
    std::size_t done_ = 0;
};

}  // namespace

// A read error is no end of the file: the reader fails rather than give a
// keyboard cut short, and the check calls the file unreadable.
TEST(KbdCheck, ReadErrorsAreNoEndOfTheFile) {
    const std::string panels = "[KEYDEF]\nBoard\nxres=1\n[/KEYDEF]\n" + std::string(70000, ';') +
                               "\n[KEYDEF]\nxres=2\n[/KEYDEF]\n";
    struct Case {
        const char* what;
        std::string content;
        std::size_t readable;
    };
    const Case cases[] = {
        {"at once", panels, 0},
        {"after the first block", panels, 65536},
        {"while a UTF-8 file is read whole", "\xEF\xBB\xBF" + panels, 65536},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FailingFile file(c.content, c.readable);
        KeyDefinition definition;
        std::string error;
        EXPECT_FALSE(ReadKbdFrom(file, definition, nullptr, &error));
        EXPECT_EQ(error, "in.kbd: Input/output error");

        FailingFile again(c.content, c.readable);
        CheckReport report;
        CheckKbdFrom(again, "in.kbd", report);
        EXPECT_FALSE(report.readable);
        EXPECT_EQ(FormatReadError("in.kbd", report),
                  "in.kbd: error: cannot read: Input/output error");
        EXPECT_TRUE(report.findings.empty());
    }
}

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

TEST(KbdCheck, ExampleWithoutItsMediaAndMissingFile) {
    CheckReport report;
    CheckKbdFile(DRAVONIX_SOURCE_DIR "/examples/compact_pad.kbd", report);
    EXPECT_TRUE(report.readable);
    // The example's images and sounds are not bundled: nothing else is found.
    for (const Finding& finding : report.findings) EXPECT_EQ(finding.kind, "media-missing");
    EXPECT_EQ(FormatSummary("pad.kbd", report),
              "pad.kbd: 2 panels, 20 keys, 2 macros, 4 sounds; 6 warnings: 6 media files kept with "
              "notes (read as .kbd)");

    CheckKbdFile(DRAVONIX_SOURCE_DIR "/examples/no such file.kbd", report);
    EXPECT_FALSE(report.readable);
    EXPECT_EQ(report.error.rfind("cannot open: ", 0), 0u) << report.error;
    EXPECT_EQ(report.error.find("no such file.kbd"), std::string::npos) << report.error;
}

}  // namespace dravonix
