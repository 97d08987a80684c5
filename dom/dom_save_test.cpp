#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dom/dom.h"
#include "dom/xml_parse.h"
#include "platform/file_system.h"
#include "testing/com_test.h"
#include "testing/dom_test_util.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

class DomSaveTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_EQ(CreateDomDocument(&doc), S_OK);
    }
    void TearDown() override {
        doc.Release();
        ComTest::TearDown();
    }
    DomNode Add(const DomNode& parent, DOMNodeType type, std::string_view name,
                std::u16string value = u"") {
        DomNode node;
        EXPECT_EQ(doc.CreateNode(type, name, &node), S_OK);
        if (type == NODE_ATTRIBUTE) {
            EXPECT_EQ(node.put_nodeTypedValue(Variant::String(std::move(value))), S_OK);
            DomNamedNodeMap map;
            EXPECT_EQ(parent.get_attributes(&map), S_OK);
            EXPECT_EQ(map.setNamedItem(node, nullptr), S_OK);
        } else {
            if (type == NODE_TEXT) {
                EXPECT_EQ(node.put_nodeTypedValue(Variant::String(std::move(value))), S_OK);
            }
            EXPECT_EQ(parent.appendChild(node, nullptr), S_OK);
        }
        return node;
    }
    // A small tree with every character that needs care.
    void BuildTrickyTree() {
        DomNode root = Add(doc, NODE_ELEMENT, "keydef");
        Add(root, NODE_ATTRIBUTE, "name", u"a&b<c>d\"e'f\tg\nh\ri");
        Add(root, NODE_TEXT, "", u"\n\t");
        DomNode child = Add(root, NODE_ELEMENT, "jpeg");
        Add(child, NODE_TEXT, "", u"x & y < z > w \"q\" \r\n\ttab \u00e9\u20ac\U0001F600");
        Add(root, NODE_TEXT, "", u"\n\t");
        Add(root, NODE_ELEMENT, "empty");
        Add(root, NODE_TEXT, "", u"\n");
    }
    std::string Saved() {
        std::string text;
        EXPECT_EQ(doc.SaveToString(&text), S_OK);
        return text;
    }
    DomDocument doc;
};

// The saved text of BuildTrickyTree.
constexpr std::string_view kTrickyTreeSaved =
    "<keydef name=\"a&amp;b&lt;c&gt;d&quot;e'f&#9;g&#10;h&#13;i\">\n\t"
    "<jpeg>x &amp; y &lt; z &gt; w \"q\" &#13;\n\ttab \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"
    "</jpeg>\n\t<empty/>\n</keydef>";

/// A file system that keeps what is committed and fails where told.
class FakeFiles : public FileSystem {
public:
    enum Failure { kNone, kStart, kSecondWrite, kCommit };
    Failure failure = kNone;
    bool started = false;
    std::string committed;

    std::unique_ptr<ReadableFile> OpenForReading(const std::string&, std::string*) override {
        return nullptr;
    }
    bool ReadStartOfFile(const std::string&, std::size_t, std::string*) override { return false; }
    std::unique_ptr<OutputFile> StartReplacing(const std::string& path,
                                               std::string* error) override {
        started = true;
        if (failure == kStart) {
            *error = path + ": cannot start";
            return nullptr;
        }
        return std::make_unique<Output>(this, path);
    }

private:
    class Output : public OutputFile {
    public:
        Output(FakeFiles* files, std::string path) : files_(files), path_(std::move(path)) {}
        bool Write(std::string_view data, std::string* error) override {
            if (files_->failure == kSecondWrite && ++writes_ == 2) {
                *error = path_ + ": cannot write";
                return false;
            }
            text_.append(data);
            return true;
        }
        bool Commit(std::string* error) override {
            if (files_->failure == kCommit) {
                *error = path_ + ": cannot commit";
                return false;
            }
            files_->committed = text_;
            return true;
        }

    private:
        FakeFiles* files_;
        std::string path_;
        std::string text_;
        int writes_ = 0;
    };
};

}  // namespace

TEST_F(DomSaveTest, EscapesWhatXmlNeedsEscaped) {
    BuildTrickyTree();
    EXPECT_EQ(Saved(), kTrickyTreeSaved);
}

TEST_F(DomSaveTest, ReplacesCharactersXmlCannotCarry) {
    DomNode root = Add(doc, NODE_ELEMENT, "r");
    Add(root, NODE_ATTRIBUTE, "a", std::u16string(u"x\u0001y\u001Fz\uFFFE", 6));
    Add(root, NODE_TEXT, "", std::u16string(u"\u0000\u0008\uFFFF", 3));
    EXPECT_EQ(Saved(),
              "<r a=\"x\xEF\xBF\xBDy\xEF\xBF\xBDz\xEF\xBF\xBD\">"
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD</r>");
}

TEST_F(DomSaveTest, ReplacesMalformedUtf8) {
    // Text set as UTF-8 may hold bytes that are not UTF-8: each such byte is
    // written as U+FFFD, and well-formed sequences around them stay.
    const std::string_view malformed =
        "\xC3\xA9|\xFF|\xC0\x80|\xE2\x82|\xED\xA0\x80|\xF4\x90\x80\x80|\xC3";
    const std::string replaced =
        "\xC3\xA9|\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|"
        "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
        "\xEF\xBF\xBD";
    DomNode root = Add(doc, NODE_ELEMENT, "r");
    DomNode attribute;
    ASSERT_EQ(doc.CreateNode(NODE_ATTRIBUTE, "a", &attribute), S_OK);
    ASSERT_EQ(attribute.PutText(malformed), S_OK);
    DomNamedNodeMap map;
    ASSERT_EQ(root.get_attributes(&map), S_OK);
    ASSERT_EQ(map.setNamedItem(attribute, nullptr), S_OK);
    DomNode text;
    ASSERT_EQ(doc.CreateNode(NODE_TEXT, {}, &text), S_OK);
    ASSERT_EQ(text.PutText(malformed), S_OK);
    ASSERT_EQ(root.appendChild(text, nullptr), S_OK);
    EXPECT_EQ(Saved(), "<r a=\"" + replaced + "\">" + replaced + "</r>");

    // Comments and processing instructions (which only a parse creates).
    DomDocument parsed;
    ASSERT_EQ(ParseXmlMemory("<r><!--c--><?p d?></r>", &parsed), S_OK);
    DomNode element, comment, instruction;
    ASSERT_EQ(parsed.get_firstChild(&element), S_OK);
    ASSERT_EQ(element.get_firstChild(&comment), S_OK);
    ASSERT_EQ(comment.get_nextSibling(&instruction), S_OK);
    ASSERT_EQ(comment.PutText(malformed), S_OK);
    ASSERT_EQ(instruction.PutText(malformed), S_OK);
    std::string saved;
    ASSERT_EQ(parsed.SaveToString(&saved), S_OK);
    EXPECT_EQ(saved, "<r><!--" + replaced + "--><?p " + replaced + "?></r>");
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
    DomNode root = Add(doc, NODE_ELEMENT, "r");
    Add(root, NODE_ATTRIBUTE, "a", text);
    Add(root, NODE_TEXT, "", text);
    EXPECT_TRUE(Saved() == "<r a=\"" + escaped + "\">" + escaped + "</r>");
}

TEST_F(DomSaveTest, SavedFileParsesBackToTheSameTree) {
    BuildTrickyTree();
    ScratchDir dir;
    std::string path = dir / "out.xml";
    ASSERT_EQ(doc.save(Variant::String(MultiByteToWideChar(path))), S_OK);
    EXPECT_NE(CheckWithXmllint(path), Xmllint::kMalformed);
    DomDocument parsed;
    ASSERT_EQ(ParseXmlMemory(ReadFile(path), &parsed), S_OK);
    EXPECT_EQ(DumpTree(parsed), DumpTree(doc));
    EXPECT_EQ(ReadFile(path), kTrickyTreeSaved);
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

TEST_F(DomSaveTest, DestinationMustBeAPath) {
    Add(doc, NODE_ELEMENT, "r");
    EXPECT_EQ(doc.save(Variant::String(u"")), E_INVALIDARG);
    EXPECT_EQ(doc.save(Variant::String(std::u16string(u"a\0b", 3))), E_INVALIDARG);
    EXPECT_EQ(doc.save(Variant::Error(E_OUTOFMEMORY)), E_INVALIDARG);
    EXPECT_EQ(DomDocument().save(Variant::String(u"out.xml")), E_UNEXPECTED);
}

TEST_F(DomSaveTest, FileFailuresAreReportedAndNothingIsCommitted) {
    DomNode root = Add(doc, NODE_ELEMENT, "r");
    Add(root, NODE_TEXT, "", std::u16string(300000, u'x'));  // more than one buffer
    const std::string expected = Saved();
    const struct {
        FakeFiles::Failure failure;
        HRESULT status;
        std::string error;
    } cases[] = {
        {FakeFiles::kNone, S_OK, ""},
        {FakeFiles::kStart, E_FAIL, "out.xml: cannot start"},
        {FakeFiles::kSecondWrite, E_FAIL, "out.xml: cannot write"},
        {FakeFiles::kCommit, E_FAIL, "out.xml: cannot commit"},
    };
    for (const auto& c : cases) {
        FakeFiles files;
        files.failure = c.failure;
        std::string error;
        EXPECT_EQ(doc.save(Variant::String(u"out.xml"), files, &error), c.status) << c.error;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(files.committed, c.status == S_OK ? expected : "") << c.error;
    }
}

TEST_F(DomSaveTest, StringAndFileHoldTheSameTextOfManySmallNodes) {
    // Many short pieces fill the growing buffer of a string many times.
    DomNode root = Add(doc, NODE_ELEMENT, "r");
    const char* const names[] = {"k0", "k1", "k2", "k3", "k4", "k5", "k6"};
    for (int i = 0; i < 20000; ++i) Add(root, NODE_ELEMENT, names[i % 7]);
    FakeFiles files;
    ASSERT_EQ(doc.save(Variant::String(u"out.xml"), files, nullptr), S_OK);
    const std::string text = Saved();
    EXPECT_EQ(text, files.committed);
    EXPECT_EQ(text.substr(0, 15), "<r><k0/><k1/><k");
    EXPECT_EQ(text.size(), 3 + 20000 * 5 + 4);
}

TEST_F(DomSaveTest, DocumentWithoutRootIsNotWritten) {
    FakeFiles files;
    std::string error;
    EXPECT_EQ(doc.save(Variant::String(u"out.xml"), files, &error), E_FAIL);
    EXPECT_EQ(error, "out.xml: the document has no root element");
    EXPECT_FALSE(files.started);
}

}  // namespace dravonix
