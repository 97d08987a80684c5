#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "dom/dom.h"
#include "dom/dom_test_util.h"
#include "dom/xml_parse.h"
#include "platform/com.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

class DomSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_EQ(CreateDomDocument(&doc), S_OK);
    }
    void TearDown() override {
        doc.Release();
        CoUninitialize();
    }
    DomNode Add(const DomNode& parent, DOMNodeType type, std::u16string_view name,
                std::u16string value = u"") {
        DomNode node;
        EXPECT_EQ(doc.createNode(Variant::Int(type), name, u"", &node), S_OK);
        if (type == NODE_ATTRIBUTE) {
            node.put_nodeTypedValue(Variant::String(std::move(value)));
            DomNamedNodeMap map;
            parent.get_attributes(&map);
            map.setNamedItem(node, nullptr);
        } else {
            if (type == NODE_TEXT) node.put_nodeTypedValue(Variant::String(std::move(value)));
            parent.appendChild(node, nullptr);
        }
        return node;
    }
    // A small tree with every character that needs care.
    void BuildTrickyTree() {
        DomNode root = Add(doc, NODE_ELEMENT, u"keydef");
        Add(root, NODE_ATTRIBUTE, u"name", u"a&b<c>d\"e'f\tg\nh\ri");
        Add(root, NODE_TEXT, u"", u"\n\t");
        DomNode child = Add(root, NODE_ELEMENT, u"jpeg");
        Add(child, NODE_TEXT, u"", u"x & y < z > w \"q\" \r\n\ttab \u00e9\u20ac\U0001F600");
        Add(root, NODE_TEXT, u"", u"\n\t");
        Add(root, NODE_ELEMENT, u"empty");
        Add(root, NODE_TEXT, u"", u"\n");
    }
    std::string Saved() {
        std::string text;
        EXPECT_EQ(doc.SaveToString(&text), S_OK);
        return text;
    }
    DomDocument doc;
};

bool XmllintAccepts(const std::string& path) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) return true;
    return std::system(("xmllint --noout '" + path + "' 2>/dev/null").c_str()) == 0;
}

}  // namespace

TEST_F(DomSaveTest, EscapesWhatXmlNeedsEscaped) {
    BuildTrickyTree();
    EXPECT_EQ(
        Saved(),
        "<keydef name=\"a&amp;b&lt;c&gt;d&quot;e'f&#9;g&#10;h&#13;i\">\n\t"
        "<jpeg>x &amp; y &lt; z &gt; w \"q\" &#13;\n\ttab \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"
        "</jpeg>\n\t<empty/>\n</keydef>");
}

TEST_F(DomSaveTest, ReplacesCharactersXmlCannotCarry) {
    DomNode root = Add(doc, NODE_ELEMENT, u"r");
    Add(root, NODE_ATTRIBUTE, u"a", std::u16string(u"x\u0001y\u001Fz\uFFFE", 6));
    Add(root, NODE_TEXT, u"", std::u16string(u"\u0000\u0008\uFFFF", 3));
    EXPECT_EQ(Saved(),
              "<r a=\"x\xEF\xBF\xBDy\xEF\xBF\xBDz\xEF\xBF\xBD\">"
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD</r>");
}

TEST_F(DomSaveTest, LongTextsAreEscapedWhole) {
    // Long texts are escaped a block at a time. A unit of 7 UTF-8 bytes with
    // a 3-byte U+FFFE and an "&", repeated far beyond any block size, puts
    // those characters across block boundaries at every position.
    std::u16string unit = u"a\uFFFE&bc";
    std::u16string text;
    std::string escaped;
    for (int i = 0; i < 50000; ++i) {
        text += unit;
        escaped += "a\xEF\xBF\xBD&amp;bc";
    }
    DomNode root = Add(doc, NODE_ELEMENT, u"r");
    Add(root, NODE_ATTRIBUTE, u"a", text);
    Add(root, NODE_TEXT, u"", text);
    EXPECT_TRUE(Saved() == "<r a=\"" + escaped + "\">" + escaped + "</r>");
}

TEST_F(DomSaveTest, SavedFileParsesBackToTheSameTree) {
    BuildTrickyTree();
    ScratchDir dir;
    std::string path = dir / "out.xml";
    ASSERT_EQ(doc.save(Variant::String(MultiByteToWideChar(path))), S_OK);
    EXPECT_TRUE(XmllintAccepts(path));
    DomDocument parsed;
    ASSERT_EQ(ParseXmlFile(path, &parsed), S_OK);
    EXPECT_EQ(DumpTree(parsed), DumpTree(doc));
    EXPECT_EQ(ReadFile(path), Saved());
}

TEST_F(DomSaveTest, FailedSaveLeavesTheDestinationAlone) {
    ScratchDir dir;
    std::string path = dir / "kept.xml";
    WriteFile(path, "precious");
    // A document without a root element cannot be written as XML.
    EXPECT_LT(doc.save(Variant::String(MultiByteToWideChar(path))), 0);
    EXPECT_EQ(ReadFile(path), "precious");
    EXPECT_EQ(CountEntries(dir.path()), 1) << "no temporary file is left behind";
}

TEST_F(DomSaveTest, FailsForMissingFoldersAndDirectories) {
    Add(doc, NODE_ELEMENT, u"r");
    ScratchDir dir;
    EXPECT_LT(doc.save(Variant::String(MultiByteToWideChar(dir / "no/such/out.xml"))), 0);
    EXPECT_LT(doc.save(Variant::String(MultiByteToWideChar(dir.path()))), 0);
    EXPECT_LT(doc.save(Variant::String(u"")), 0);
    EXPECT_LT(doc.save(Variant::Error(E_OUTOFMEMORY)), 0);
    WriteFile(dir / "file", "x");
    EXPECT_LT(doc.save(Variant::String(MultiByteToWideChar(dir / "file/out.xml"))), 0);
    EXPECT_EQ(ReadFile(dir / "file"), "x");
}

TEST_F(DomSaveTest, FullDeviceIsAFailure) {
    Add(doc, NODE_ELEMENT, u"r");
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "/dev/full is not available";
    EXPECT_LT(doc.save(Variant::String(u"/dev/full")), 0);
}

TEST_F(DomSaveTest, PermissionsLinksAndSpecialFiles) {
    Add(doc, NODE_ELEMENT, u"r");
    ScratchDir dir;
    mode_t old_mask = ::umask(022);
    std::string fresh = dir / "fresh.xml";
    ASSERT_EQ(doc.save(Variant::String(MultiByteToWideChar(fresh))), S_OK);
    struct stat info;
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u) << "0666 less the umask";

    std::string existing = dir / "existing.xml";
    WriteFile(existing, "old");
    ::chmod(existing.c_str(), 0600);
    ASSERT_EQ(doc.save(Variant::String(MultiByteToWideChar(existing))), S_OK);
    ASSERT_EQ(::stat(existing.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "an existing file keeps its permissions";
    ::umask(old_mask);

    std::string link = dir / "link.xml";
    ASSERT_EQ(::symlink("existing.xml", link.c_str()), 0);
    WriteFile(existing, "old");
    ASSERT_EQ(doc.save(Variant::String(MultiByteToWideChar(link))), S_OK);
    struct stat link_info;
    ASSERT_EQ(::lstat(link.c_str(), &link_info), 0);
    EXPECT_TRUE(S_ISLNK(link_info.st_mode)) << "the link stays";
    EXPECT_EQ(ReadFile(existing), "<r/>") << "its target is replaced";

    EXPECT_EQ(doc.save(Variant::String(u"/dev/null")), S_OK) << "written into, never replaced";
    struct stat null_info;
    ASSERT_EQ(::stat("/dev/null", &null_info), 0);
    EXPECT_TRUE(S_ISCHR(null_info.st_mode));
}

}  // namespace dravonix
