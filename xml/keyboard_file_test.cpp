// Tests of saving a model to a file: the result, the file's exact text, its
// well-formedness, and the bindings left behind.
#include "xml/keyboard_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "xml/save_test_util.h"

namespace dravonix {

namespace {

namespace fs = std::filesystem;

// A fresh folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "dravonix-save-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// True when xmllint accepts the file as well-formed XML. Skips the calling
// test when xmllint is not installed.
#define EXPECT_WELL_FORMED(path)                                             \
    do {                                                                     \
        if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {        \
            GTEST_SKIP() << "xmllint is not installed";                      \
        }                                                                    \
        std::string command = "xmllint --noout '" + std::string(path) + "'"; \
        EXPECT_EQ(std::system(command.c_str()), 0) << path;                  \
    } while (false)

using SaveToFileTest = ComTest;

TEST_F(SaveToFileTest, WorkedExampleIsSavedByteForByte) {
    TempFolder folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    std::string path = folder.File("out.xml");
    ASSERT_TRUE(SaveToFile(root, path));
    EXPECT_EQ(ReadFile(path), kWorkedExample);
    EXPECT_EQ(root.level, 0);
    EXPECT_TRUE(static_cast<bool>(root.keydef.subkeydef[0].element));  // the model stays bound
    EXPECT_WELL_FORMED(path);
}

TEST_F(SaveToFileTest, NestedLayoutIsSavedByteForByte) {
    TempFolder folder;
    TestElement hotspot;
    hotspot.ints = {{"x", 0}, {"y", 0}};
    TestElement subkeydef;
    subkeydef.children = {{"hotspot", &hotspot}};
    TestElement keydef;
    keydef.children = {{"subkeydef", &subkeydef}};
    TestRoot root("keydef", keydef);
    std::string path = folder.File("layout.xml");
    ASSERT_TRUE(SaveToFile(root, path));
    EXPECT_EQ(ReadFile(path),
              "<keydef>\n\t<subkeydef>\n\t\t<hotspot x=\"0\" y=\"0\"/>\n\t</subkeydef>\n</keydef>");
    EXPECT_WELL_FORMED(path);
}

TEST_F(SaveToFileTest, AwkwardTextStaysWellFormed) {
    TempFolder folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    SubKeyDefinition& panel = root.keydef.subkeydef[0];
    panel.name = "a\"b<c>&d'\te\nf\rg\x01h\x7F\x81\xFF";
    panel.sounds.emplace(2, "]]>&<\r\n\x02.wav");
    panel.nonshiftkeys.key[0].character = '"';
    panel.nonshiftkeys.key[0].target = "<&>";
    panel.nonshiftkeys.macro[0].mkey.push_back({-1, -1, '\x1F'});
    panel.nonshiftkeys.macro[0].mkey.push_back({-1, -1, '<'});
    std::string path = folder.File("awkward.xml");
    ASSERT_TRUE(SaveToFile(root, path));
    EXPECT_WELL_FORMED(path);
}

TEST_F(SaveToFileTest, MissingFolderFailsAndTheTreeStaysBound) {
    TempFolder folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    std::string path = folder.File("no-such-folder/out.xml");
    EXPECT_FALSE(SaveToFile(root, path));
    EXPECT_FALSE(fs::exists(path));
    ASSERT_TRUE(static_cast<bool>(root.element));
    DomDocument document;
    ASSERT_EQ(root.OwnerDocument(&document), S_OK);
    EXPECT_EQ(Serialized(document), kWorkedExample);
    EXPECT_TRUE(static_cast<bool>(root.keydef.subkeydef[0].nonshiftkeys.key[0].element));
}

TEST_F(SaveToFileTest, SaveToTextGivesTheFileText) {
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    std::string text = "old";
    ASSERT_TRUE(SaveToText(root, &text));
    EXPECT_EQ(text, kWorkedExample);
}

TEST(SaveToFileWithoutComTest, FailsAndLeavesTheRootUnbound) {
    ASSERT_FALSE(ComInitialized());
    TempFolder folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    std::string path = folder.File("out.xml");
    EXPECT_FALSE(SaveToFile(root, path));
    EXPECT_FALSE(fs::exists(path));
    std::string text = "old";
    EXPECT_FALSE(SaveToText(root, &text));
    EXPECT_EQ(text, "old");
    EXPECT_FALSE(static_cast<bool>(root.element));
    EXPECT_FALSE(static_cast<bool>(root.keydef.element));
}

TEST_F(SaveToFileTest, SecondSaveBuildsAnIndependentDocument) {
    TempFolder folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    ASSERT_TRUE(SaveToFile(root, folder.File("first.xml")));
    DomNode first_key = root.keydef.subkeydef[0].nonshiftkeys.key[0].element;
    DomDocument first_document;
    ASSERT_EQ(root.OwnerDocument(&first_document), S_OK);

    root.keydef.name = "Second";
    ASSERT_TRUE(SaveToFile(root, folder.File("second.xml")));
    std::string second = kWorkedExample;
    second.replace(second.find("Demo"), 4, "Second");
    EXPECT_EQ(ReadFile(folder.File("second.xml")), second);
    // The first document is untouched, and every object moved to the new one.
    EXPECT_EQ(ReadFile(folder.File("first.xml")), kWorkedExample);
    EXPECT_EQ(Serialized(first_document), kWorkedExample);
    DomDocument second_document;
    ASSERT_EQ(root.OwnerDocument(&second_document), S_OK);
    EXPECT_FALSE(second_document == first_document);
    EXPECT_FALSE(root.keydef.subkeydef[0].nonshiftkeys.key[0].element == first_key);
    EXPECT_EQ(root.keydef.subkeydef[0].nonshiftkeys.key[0].level, 4);
}

}  // namespace

}  // namespace dravonix
