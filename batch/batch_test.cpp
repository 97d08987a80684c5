#include <gtest/gtest.h>

#include <string>

#include "batch/batch_job.h"
#include "batch/index_page.h"
#include "batch/keyboard_tree.h"
#include "testing/test_util.h"

namespace dravonix {

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
    failed.error = "cannot open '<b>'";
    const std::string page = IndexPage({failed}, false);
    EXPECT_EQ(page.find("<script>.kbd"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;.kbd"), std::string::npos);
}

TEST(Batch, FindsKeyboardsInNestedFolders) {
    ScratchDir dir;
    WriteFile(dir / "a.kbd", "");
    WriteFile(dir / "B.KBD", "");
    WriteFile(dir / "notes.txt", "");
    std::filesystem::create_directories(NativePath(dir / "de/alt"));
    WriteFile(dir / "de/alt/Übersicht €.Kbd", "");
    WriteFile(dir / "de/pad.kbd.xml", "");
    KeyboardTree tree;
    std::string error;
    ASSERT_TRUE(FindKeyboards(SystemFileSystem(), dir.path(), &tree, &error)) << error;
    const std::vector<std::string> expected = {"B.KBD", "a.kbd", "de/alt/Übersicht €.Kbd"};
    EXPECT_EQ(tree.keyboards, expected);
    EXPECT_TRUE(tree.skipped.empty());
    EXPECT_FALSE(FindKeyboards(SystemFileSystem(), dir / "missing", &tree, &error));
}

}  // namespace dravonix
