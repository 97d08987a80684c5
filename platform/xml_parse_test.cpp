#include "platform/xml_parse.h"

#include <gtest/gtest.h>

#include "platform/com.h"
#include "platform/dom_test_util.h"
#include "platform/test_files.h"

namespace {

class XmlParseTest : public ::testing::Test {
  protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(XmlParseTest, KeepsEveryTextNodeCommentAndAttributeOrder) {
    DomDocument doc;
    ASSERT_EQ(ParseXmlMemory("<?xml version=\"1.0\"?>\n<a z=\"1\" b=\"&amp;&#65;\">\n\t<b/>"
                             "<!-- note --><![CDATA[<raw>]]>\n</a>",
                             &doc),
              S_OK);
    EXPECT_EQ(DumpTree(doc),
              "#document\n  a z=[1] b=[&A]\n    #text [\n\t]\n    b\n    #comment [ note ]\n"
              "    #text [<raw>]\n    #text [\n]\n");
}

TEST_F(XmlParseTest, RejectsMalformedInput) {
    const char* inputs[] = {"",
                            "<a>",
                            "<a></b>",
                            "not xml",
                            "<a x='1' x='2'/>",
                            "<a/><b/>",
                            "<a>&undefined;</a>",
                            "\xFF\xFE<\xFF/>"};
    for (const char* input : inputs) {
        DomDocument doc;
        EXPECT_LT(ParseXmlMemory(input, &doc), 0) << input;
        EXPECT_FALSE(doc);
    }
}

TEST_F(XmlParseTest, NeverExpandsEntitiesOrReadsOtherFiles) {
    ScratchDir dir;
    WriteFile(dir / "secret.txt", "secret");
    const std::string external =
        "<!DOCTYPE a [<!ENTITY e SYSTEM \"" + (dir / "secret.txt") + "\">]><a>&e;</a>";
    const std::string laughs =
        "<!DOCTYPE a [<!ENTITY l0 \"ha\"><!ENTITY l1 \"&l0;&l0;&l0;&l0;&l0;&l0;&l0;&l0;\">"
        "<!ENTITY l2 \"&l1;&l1;&l1;&l1;&l1;&l1;&l1;&l1;\">"
        "<!ENTITY l3 \"&l2;&l2;&l2;&l2;&l2;&l2;&l2;&l2;\">]><a b=\"&l3;\">&l3;</a>";
    for (const std::string& input : {external, laughs}) {
        DomDocument doc;
        HRESULT status = ParseXmlMemory(input, &doc);
        if (Succeeded(status)) {
            std::string dump = DumpTree(doc);
            EXPECT_EQ(dump.find("secret"), std::string::npos);
            EXPECT_EQ(dump.find("haha"), std::string::npos);
        }
    }
}

TEST_F(XmlParseTest, ReadsUtf16WithAByteOrderMark) {
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("<a>\xE9</a>")) {
        utf16.push_back(c);
        utf16.push_back('\0');
    }
    DomDocument doc;
    ASSERT_EQ(ParseXmlMemory(utf16, &doc), S_OK);
    EXPECT_EQ(DumpTree(doc), "#document\n  a\n    #text [\xC3\xA9]\n");
}

TEST_F(XmlParseTest, FilesThatCannotBeReadFail) {
    ScratchDir dir;
    DomDocument doc;
    EXPECT_EQ(ParseXmlFile(dir / "missing.xml", &doc), E_FAIL);
    EXPECT_EQ(ParseXmlFile(dir.path(), &doc), E_FAIL);
    WriteFile(dir / "ok.xml", "<a/>");
    EXPECT_EQ(ParseXmlFile(dir / "ok.xml", &doc), S_OK);
}

TEST(XmlParse, NeedsTheComRuntime) {
    DomDocument doc;
    EXPECT_EQ(ParseXmlMemory("<a/>", &doc), CO_E_NOTINITIALIZED);
}
