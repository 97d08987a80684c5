// Tests of saving a model to a file: the result, the file's exact text, its
// well-formedness, and the bindings left behind.
#include "xml/keyboard_file.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/save_test_util.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

// Checks that xmllint, where it can run, accepts the file as well-formed XML.
#define EXPECT_WELL_FORMED(path) EXPECT_NE(CheckWithXmllint(path), Xmllint::kMalformed) << path

using SaveToFileTest = ComTest;

TEST_F(SaveToFileTest, WorkedExampleIsSavedByteForByte) {
    ScratchDir folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    std::string path = folder / "out.xml";
    ASSERT_TRUE(SaveToFile(root, path));
    EXPECT_EQ(ReadFile(path), kWorkedExample);
    EXPECT_EQ(root.level, 0);
    EXPECT_TRUE(static_cast<bool>(root.keydef.subkeydef[0].element));  // the model stays bound
    EXPECT_WELL_FORMED(path);
}

TEST_F(SaveToFileTest, NestedLayoutIsSavedByteForByte) {
    ScratchDir folder;
    TestElement hotspot;
    hotspot.ints = {{"x", 0}, {"y", 0}};
    TestElement subkeydef;
    subkeydef.children = {{"hotspot", &hotspot}};
    TestElement keydef;
    keydef.children = {{"subkeydef", &subkeydef}};
    TestRoot root("keydef", keydef);
    std::string path = folder / "layout.xml";
    ASSERT_TRUE(SaveToFile(root, path));
    EXPECT_EQ(ReadFile(path),
              "<keydef>\n\t<subkeydef>\n\t\t<hotspot x=\"0\" y=\"0\"/>\n\t</subkeydef>\n</keydef>");
    EXPECT_WELL_FORMED(path);
}

TEST_F(SaveToFileTest, AwkwardTextStaysWellFormed) {
    ScratchDir folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    SubKeyDefinition& panel = root.keydef.subkeydef[0];
    panel.name = "a\"b<c>&d'\te\nf\rg\x01h\x7F\x81\xFF";
    panel.sounds.emplace(2, "]]>&<\r\n\x02.wav");
    panel.nonshiftkeys.key[0].character = '"';
    panel.nonshiftkeys.key[0].target = "<&>";
    panel.nonshiftkeys.macro[0].mkey.push_back({-1, -1, '\x1F'});
    panel.nonshiftkeys.macro[0].mkey.push_back({-1, -1, '<'});
    std::string path = folder / "awkward.xml";
    ASSERT_TRUE(SaveToFile(root, path));
    EXPECT_WELL_FORMED(path);
}

TEST_F(SaveToFileTest, MissingFolderFailsAndTheTreeStaysBound) {
    ScratchDir folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    std::string path = folder / "no-such-folder/out.xml";
    EXPECT_FALSE(SaveToFile(root, path));
    EXPECT_EQ(ReadFile(path), "<missing>");
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
    ScratchDir folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    std::string path = folder / "out.xml";
    EXPECT_FALSE(SaveToFile(root, path));
    EXPECT_EQ(ReadFile(path), "<missing>");
    std::string text = "old";
    EXPECT_FALSE(SaveToText(root, &text));
    EXPECT_EQ(text, "old");
    EXPECT_FALSE(static_cast<bool>(root.element));
    EXPECT_FALSE(static_cast<bool>(root.keydef.element));
}

TEST_F(SaveToFileTest, SecondSaveBuildsAnIndependentDocument) {
    ScratchDir folder;
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    ASSERT_TRUE(SaveToFile(root, folder / "first.xml"));
    DomNode first_key = root.keydef.subkeydef[0].nonshiftkeys.key[0].element;
    DomDocument first_document;
    ASSERT_EQ(root.OwnerDocument(&first_document), S_OK);

    root.keydef.name = "Second";
    ASSERT_TRUE(SaveToFile(root, folder / "second.xml"));
    std::string second = kWorkedExample;
    second.replace(second.find("Demo"), 4, "Second");
    EXPECT_EQ(ReadFile(folder / "second.xml"), second);
    // The first document is untouched, and every object moved to the new one.
    EXPECT_EQ(ReadFile(folder / "first.xml"), kWorkedExample);
    EXPECT_EQ(Serialized(first_document), kWorkedExample);
    DomDocument second_document;
    ASSERT_EQ(root.OwnerDocument(&second_document), S_OK);
    EXPECT_FALSE(second_document == first_document);
    EXPECT_FALSE(root.keydef.subkeydef[0].nonshiftkeys.key[0].element == first_key);
    EXPECT_EQ(root.keydef.subkeydef[0].nonshiftkeys.key[0].level, 4);
}

}  // namespace

}  // namespace dravonix
