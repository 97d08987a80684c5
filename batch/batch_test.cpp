// Tests of the batch on a file system in memory: the walk of a tree, the
// outcome a rerun reports, names that differ only in case, the page and the
// progress lines.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "batch/batch_job.h"
#include "batch/batch_run.h"
#include "batch/index_page.h"
#include "batch/keyboard_tree.h"
#include "batch/progress_display.h"
#include "testing/memory_file_system.h"

namespace dravonix {

namespace {

constexpr const char* kCleanKeyboard = "[KEYDEF]\nPad\nxres=640\n[/KEYDEF]\n";
constexpr const char* kMessyKeyboard = "[KEYDEF]\nMessy\nxres=640\n[/KEYDEF]\n[KEYDEF]\nxres=800\n";

/// Keeps the lines a batch reports.
class Lines final : public BatchProgress {
public:
    void Done(const JobResult& result) override { lines.push_back(ResultLine(result)); }
    std::vector<std::string> lines;
};

/// Each result as "PATH STATUS panels/keys/warnings", with "(up to date)"
/// or the reason it failed.
std::vector<std::string> Rows(const std::vector<JobResult>& results) {
    static const char* const kStatus[] = {"clean", "warnings", "failed"};
    std::vector<std::string> rows;
    for (const JobResult& result : results) {
        std::string row = result.relative;
        row.append(" ").append(kStatus[static_cast<int>(result.outcome)]);
        if (result.outcome == JobOutcome::kFailed) {
            row.append(": ").append(result.error);
        } else {
            for (std::size_t count : {result.panels, result.keys, result.warnings}) {
                row.append(row.back() == 's' || row.back() == 'n' ? " " : "/");
                row.append(std::to_string(count));
            }
        }
        if (result.up_to_date) row.append(" (up to date)");
        rows.push_back(row);
    }
    return rows;
}

/// Walks /src and converts it into /out on two threads.
std::vector<JobResult> Convert(MemoryFileSystem& files, const BatchOptions& options = {}) {
    files.AddFolder("/out");
    KeyboardTree tree;
    std::string error;
    EXPECT_TRUE(FindKeyboards(files, "/src", &tree, &error)) << error;
    Lines lines;
    return RunBatch(files, "/src", "/out", tree.keyboards, options, 2, lines);
}

}  // namespace

TEST(Batch, OutputsAreNamedAfterTheKeyboard) {
    const JobOutputs outputs = OutputsOf("de/Tastatur Ü.KBD");
    EXPECT_EQ(outputs.xml, "de/Tastatur Ü.xml");
    EXPECT_EQ(outputs.report, "de/Tastatur Ü.check.txt");
    EXPECT_EQ(outputs.preview, "de/Tastatur Ü.svg");
}

TEST(Batch, LinksAndTextOfThePageAreEscaped) {
    EXPECT_EQ(LinkAddress("de/a b#?%\xC3\x9C.xml"), "de/a%20b%23%3F%25%C3%9C.xml");
    EXPECT_EQ(HtmlEscape("<a href=\"x\">&'</a>"),
              "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;");
    JobResult failed;
    failed.relative = "<script>.kbd";
    failed.done = true;
    failed.error = "cannot open '<b>'";
    PageInfo info;
    info.source = "<i>";
    const std::string page = IndexPage({failed}, info);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_EQ(page.find("<script>.kbd"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;.kbd"), std::string::npos);
}

TEST(Batch, FindsKeyboardsInsideTheTreeOnly) {
    MemoryFileSystem files;
    for (const char* name : {"/src/a.kbd", "/src/B.KBD", "/src/notes.txt",
                             "/src/de/alt/Übersicht €.Kbd", "/src/de/pad.kbd.xml", "/src2/b.kbd"}) {
        files.AddFile(name, "");
    }
    files.AddLink("/src/again", "de");         // a folder walked by its own name
    files.AddLink("/src/sibling", "../src2");  // out, though "/src2" starts like "/src"
    files.AddLink("/src/broken.kbd", "nowhere.kbd");
    files.AddOther("/src/pipe.kbd");
    KeyboardTree tree;
    std::string error;
    ASSERT_TRUE(FindKeyboards(files, "/src", &tree, &error)) << error;
    EXPECT_EQ(tree.keyboards,
              (std::vector<std::string>{"B.KBD", "a.kbd", "broken.kbd", "de/alt/Übersicht €.Kbd"}));
    EXPECT_EQ(tree.skipped,
              (std::vector<std::string>{"again: a folder already walked, reached again by a link",
                                        "sibling: a link that leads out of the tree"}));
    ASSERT_EQ(tree.unreadable.size(), 1u);
    EXPECT_EQ(tree.unreadable[0].relative, "pipe.kbd");
    EXPECT_EQ(tree.unreadable[0].reason, "not a regular file: never opened");
    EXPECT_FALSE(FindKeyboards(files, "/missing", &tree, &error));
}

TEST(Batch, RerunReportsWhatTheOutputsHold) {
    MemoryFileSystem files;
    files.AddFile("/src/pad.kbd", kCleanKeyboard);
    files.AddFile("/src/messy.kbd", kMessyKeyboard);
    files.AddLink("/src/gone.kbd", "nowhere.kbd");
    const std::vector<std::string> first = {
        "gone.kbd failed: cannot open '/src/gone.kbd': No such file or directory",
        "messy.kbd warnings 1/0/1", "pad.kbd clean 1/0/0"};
    EXPECT_EQ(Rows(Convert(files)), first);
    const std::int64_t written = files.GetFileInfo("/out/messy.svg").modified;

    // Nothing changed: the same outcomes, and nothing is written again.
    const std::vector<std::string> second = {
        "gone.kbd failed: cannot open '/src/gone.kbd': No such file or directory",
        "messy.kbd warnings 1/0/1 (up to date)", "pad.kbd clean 1/0/0 (up to date)"};
    EXPECT_EQ(Rows(Convert(files)), second);
    EXPECT_EQ(files.GetFileInfo("/out/messy.svg").modified, written);

    // A keyboard whose link now leads nowhere fails, outputs or not; an
    // XML-only run needs no report to know the outcome.
    files.Remove("/src/pad.kbd");
    files.AddLink("/src/pad.kbd", "moved.kbd");
    BatchOptions xml_only;
    xml_only.xml_only = true;
    EXPECT_EQ(Rows(Convert(files, xml_only)),
              (std::vector<std::string>{
                  "gone.kbd failed: cannot open '/src/gone.kbd': No such file or directory",
                  "messy.kbd warnings 1/0/1 (up to date)",
                  "pad.kbd failed: cannot open '/src/pad.kbd': No such file or directory"}));
}

TEST(Batch, CopiesEachMediaFileOnceWhereTheXmlFindsIt) {
    MemoryFileSystem files;
    files.AddFile("/src/images/Shared.JPG", "jpeg");
    files.AddFile("/src/sounds/click.wav", "wav");
    files.AddFile("/secret.wav", "secret");
    files.AddFile("/src/a.xml", "an earlier conversion");
    files.AddFile("/src/a.kbd",
                  "[KEYDEF]\nA\nxres=640\nnormal jpeg=images\\shared.jpg\n[SOUNDS]\n"
                  "1=sounds\\click.wav\n2=..\\secret.wav\n3=a.xml\n[/SOUNDS]\n[/KEYDEF]\n");
    files.AddFile("/src/de/b.kbd",
                  "[KEYDEF]\nB\nxres=640\nnormal jpeg=..\\IMAGES\\shared.jpg\n[SOUNDS]\n"
                  "1=gone.wav\n[/SOUNDS]\n[/KEYDEF]\n");
    // Each keyboard's media files; and how many the batch copied and found
    // copied already, whichever keyboard's job did it.
    std::size_t copied = 0;
    std::size_t current = 0;
    const auto media = [&](const std::vector<JobResult>& results) {
        static const char* const kState[] = {"found", "missing", "refused"};
        std::vector<std::string> lines;
        copied = current = 0;
        for (const JobResult& result : results) {
            for (const JobMedia& file : result.media) {
                lines.push_back(result.relative + " " + file.name + " " +
                                kState[static_cast<int>(file.state)] +
                                (file.reason.empty() ? "" : ": " + file.reason));
            }
            copied += result.media_copied;
            current += result.media_current;
        }
        return lines;
    };
    const std::vector<std::string> expected = {
        "a.kbd images\\shared.jpg found",
        "a.kbd sounds\\click.wav found",
        "a.kbd ..\\secret.wav refused: leads outside the source folder",
        "a.kbd a.xml refused: its copy would take the place of an output of the batch",
        "de/b.kbd ..\\IMAGES\\shared.jpg found",
        "de/b.kbd gone.wav missing",
    };
    EXPECT_EQ(media(Convert(files)), expected);
    EXPECT_EQ(copied, 2u);  // the shared image once
    EXPECT_EQ(files.Content("/out/images/Shared.JPG"), "jpeg");
    EXPECT_EQ(files.Content("/out/sounds/click.wav"), "wav");
    EXPECT_TRUE(files.Content("/out/a.xml").starts_with("<keydef"))
        << "a media copy took its place";
    EXPECT_EQ(files.Content("/out/secret.wav"), "<missing>");

    // A rerun finds them copied; --no-media copies none.
    EXPECT_EQ(media(Convert(files)), expected);
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(current, 2u);
    files.Remove("/out");
    BatchOptions no_media;
    no_media.no_media = true;
    (void)media(Convert(files, no_media));
    EXPECT_EQ(copied + current, 0u);
    EXPECT_EQ(files.Content("/out/sounds/click.wav"), "<missing>");
}

TEST(Batch, NamesThatDifferOnlyInCaseNeverShareOutputs) {
    MemoryFileSystem files;
    files.AddFile("/src/pad.kbd", "[KEYDEF]\nLower\n[/KEYDEF]\n");
    files.AddFile("/src/pad.KBD", "[KEYDEF]\nUpper\n[/KEYDEF]\n");
    files.AddFile("/src/de/Ä.kbd", kCleanKeyboard);
    files.AddFile("/src/DE/ä.kbd", kCleanKeyboard);
    EXPECT_EQ(Rows(Convert(files)),
              (std::vector<std::string>{
                  "DE/ä.kbd clean 1/0/0",
                  "de/Ä.kbd failed: its outputs would take the names of those of 'DE/ä.kbd' (the "
                  "names differ only in letter case); rename one of them",
                  "pad.KBD clean 1/0/0",
                  "pad.kbd failed: its outputs would take the names of those of 'pad.KBD' (the "
                  "names differ only in letter case); rename one of them"}));
    EXPECT_TRUE(files.Content("/out/pad.xml").starts_with("<keydef name=\"Upper\">"));
    EXPECT_EQ(files.Content("/out/de/Ä.xml"), "<missing>");
}

TEST(Batch, ProgressLinesShowTheTimeLeftAndNoControlCharacters) {
    using std::chrono::seconds;
    EXPECT_EQ(ProgressLine(1, 10, 0, seconds(1)),
              "[###---------------------------] 1/10 files, 0:09 left");
    EXPECT_EQ(ProgressLine(3, 10, 1, seconds(30)),
              "[#########---------------------] 3/10 files, 1 failed, 1:10 left");
    EXPECT_EQ(ProgressLine(10, 10, 0, seconds(99)), "[##############################] 10/10 files");
    JobResult result;
    result.relative = "a\x1B[2J\x07\xC2\x9B\xFF\xC3\x9C.kbd";
    result.error = "cannot open 'a\x1B[2J': \r";
    EXPECT_EQ(
        ResultLine(result),
        "failed    a\\x1B[2J\\x07\\xC2\\x9B\\xFF\xC3\x9C.kbd: cannot open 'a\\x1B[2J': \\x0D");
}

}  // namespace dravonix
