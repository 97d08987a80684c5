// Parsing XML into the DOM: well-formedness, whitespace text, and hostile
// documents that name other files or expand entities.
#include "dom/xml_parse.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "platform/com.h"
#include "testing/com_test.h"
#include "testing/dom_test_util.h"
#include "testing/failing_allocation.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

using XmlParseTest = ComTest;

TEST_F(XmlParseTest, NotWellFormedInputFails) {
    const std::string_view inputs[] = {"",
                                       "   ",
                                       "text",
                                       "<a>",
                                       "<a></b>",
                                       "<a/><b/>",
                                       "<a x='1' x='2'/>",
                                       "<a x=1/>",
                                       "<a>&nope;</a>",
                                       "<a>&#0;</a>",
                                       std::string_view("<a>\0</a>", 8),
                                       "<a>\xFF</a>"};
    for (std::string_view xml : inputs) {
        DomDocument document;
        EXPECT_EQ(ParseXmlMemory(xml, &document), E_FAIL) << xml;
        EXPECT_FALSE(document) << xml;
    }
    EXPECT_EQ(ParseXmlMemory("<a/>", nullptr), E_POINTER);
}

TEST_F(XmlParseTest, ParsingWithoutTheRuntimeFails) {
    CoUninitialize();
    DomDocument document;
    EXPECT_TRUE(Failed(ParseXmlMemory("<a/>", &document)));
    EXPECT_FALSE(document);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
}

TEST_F(XmlParseTest, WhitespaceTextAndCharactersAreKept) {
    DomDocument document;
    ASSERT_EQ(ParseXmlMemory("<?xml version='1.0'?>\n<a>\n\t<b x='&lt;&#65;&amp;'/> <![CDATA[<c>]]>"
                             "</a>\n",
                             &document),
              S_OK);
    std::string saved;
    ASSERT_EQ(document.SaveToString(&saved), S_OK);
    EXPECT_EQ(saved, "<a>\n\t<b x=\"&lt;A&amp;\"/> &lt;c&gt;</a>");

    DomNode root, first;
    ASSERT_EQ(document.get_firstChild(&root), S_OK);
    ASSERT_EQ(root.get_firstChild(&first), S_OK);
    Variant text;
    ASSERT_EQ(first.get_nodeTypedValue(&text), S_OK);
    EXPECT_EQ(text.bstrVal, u"\n\t");
}

TEST_F(XmlParseTest, EntitiesAreNeverExpanded) {
    // Declared but unused entities are harmless; a reference fails the parse.
    DomDocument document;
    EXPECT_EQ(ParseXmlMemory("<!DOCTYPE a [<!ENTITY e 'x'>]><a>t</a>", &document), S_OK);
    EXPECT_EQ(ParseXmlMemory("<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", &document), E_FAIL);
    EXPECT_EQ(ParseXmlMemory("<!DOCTYPE a [<!ENTITY e 'x'>]><a b='&e;'/>", &document), E_FAIL);
    EXPECT_EQ(
        ParseXmlMemory("<!DOCTYPE a [<!ENTITY a '&b;'><!ENTITY b '&a;'>]><a>&a;</a>", &document),
        E_FAIL);

    // Ten levels of ten references each: 10^9 copies of "lol" if expanded.
    std::string laughs = "<!DOCTYPE a [<!ENTITY l0 'lol'>";
    for (char level = '1'; level <= '9'; ++level) {
        laughs.append("<!ENTITY l").append(1, level).append(" '");
        for (int j = 0; j < 10; ++j) laughs.append("&l").append(1, char(level - 1)).append(";");
        laughs.append("'>");
    }
    laughs += "]>";
    for (const char* body : {"<a>&l9;</a>", "<a b='&l9;'/>"}) {
        auto start = std::chrono::steady_clock::now();
        std::string xml = laughs;
        xml.append(body);
        EXPECT_EQ(ParseXmlMemory(xml, &document), E_FAIL) << body;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << body;
    }
}

constexpr std::string_view kEveryKindOfNode =
    "<?xml version='1.0'?><!DOCTYPE r><r xmlns:k='urn:k' k:a='1' b='&amp;x'>\n"
    "<k:e>text &#xE9;</k:e><!--c--><?p d?><![CDATA[z]]></r>";
constexpr std::string_view kEveryKindOfNodeTree =
    "#document\n  r xmlns:k=[urn:k] k:a=[1] b=[&x]\n    #text [\n]\n    k:e\n"
    "      #text [text \xC3\xA9]\n    #comment [c]\n    p [d]\n    #text [z]\n";

}  // namespace

TEST_F(XmlParseTest, RunningOutOfMemoryFailsTheParse) {
    // Each allocation of the parse fails in turn, through the allocator the
    // program set: the parse gives the whole tree or E_OUTOFMEMORY, never
    // part of the tree.
    FailingLibxmlAllocator allocator;
    for (long failing = 1;; ++failing) {
        SCOPED_TRACE(failing);
        FailingLibxmlAllocator::FailNth(failing);
        DomDocument document;
        const HRESULT status = ParseXmlMemory(kEveryKindOfNode, &document);
        const bool failed_one = FailingLibxmlAllocator::Countdown() == 0;
        FailingLibxmlAllocator::FailNth(0);
        if (status == S_OK) {
            EXPECT_EQ(DumpTree(document), kEveryKindOfNodeTree);
        } else {
            EXPECT_EQ(status, E_OUTOFMEMORY);
            EXPECT_FALSE(document);
        }
        if (!failed_one) break;  // every allocation was tried
        ASSERT_LT(failing, 100000);
    }
}

TEST_F(XmlParseTest, ParsesOnTwoThreadsAtOnce) {
    // Running out of memory on one thread fails only the parse on that thread.
    FailingLibxmlAllocator allocator;
    constexpr int kRounds = 200;
    int whole = 0;
    std::thread failing([] {
        EXPECT_EQ(CoInitialize(nullptr), S_OK);
        for (int i = 0; i < kRounds; ++i) {
            FailingLibxmlAllocator::FailNth(1 + i % 20);
            DomDocument document;
            (void)ParseXmlMemory(kEveryKindOfNode, &document);  // E_OUTOFMEMORY, or done first
            FailingLibxmlAllocator::FailNth(0);
        }
        CoUninitialize();
    });
    for (int i = 0; i < kRounds; ++i) {
        DomDocument document;
        if (ParseXmlMemory(kEveryKindOfNode, &document) == S_OK &&
            DumpTree(document) == kEveryKindOfNodeTree) {
            ++whole;
        }
    }
    failing.join();
    EXPECT_EQ(whole, kRounds);
}

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

}  // namespace dravonix
