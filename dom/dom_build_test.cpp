#include "dom/dom_build.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "dom/child_walk.h"
#include "dom/xml_parse.h"
#include "platform/unicode.h"
#include "testing/com_test.h"
#include "testing/dom_test_util.h"

namespace dravonix {

namespace {

// Two documents built alike: the fast path runs on one, the DOM calls it
// stands for on the other, and both must end the same.
struct Twin {
    DomDocument document;
    DomNode root;   // "r", the document element
    DomNode other;  // an element of a third document
    DomNode text;   // an unattached text node
};

Twin MakeTwin(std::size_t node_limit) {
    Twin twin;
    EXPECT_EQ(CreateDomDocument(&twin.document), S_OK);
    EXPECT_EQ(twin.document.CreateNode(NODE_ELEMENT, "r", &twin.root), S_OK);
    EXPECT_EQ(twin.document.appendChild(twin.root, nullptr), S_OK);
    EXPECT_EQ(twin.document.CreateNode(NODE_TEXT, {}, &twin.text), S_OK);
    DomDocument third;
    EXPECT_EQ(CreateDomDocument(&third), S_OK);
    EXPECT_EQ(third.CreateNode(NODE_ELEMENT, "o", &twin.other), S_OK);
    twin.document.SetNodeLimit(node_limit);
    return twin;
}

// The nodes the document holds, found by the limit at which one more fits.
std::size_t NodeCount(const DomDocument& document) {
    for (std::size_t limit = 1;; ++limit) {
        document.SetNodeLimit(limit);
        DomNode probe;
        if (Succeeded(document.CreateNode(NODE_TEXT, {}, &probe))) {
            return limit - 1;
        }
    }
}

std::u16string Wide(std::string_view utf8) { return Utf8ToUtf16(utf8); }

// The DOM calls each fast path stands for, through the handles and variants.
HRESULT SlowText(const DomDocument& document, const DomNode& parent, std::string_view text) {
    DomNode node;
    HRESULT status = document.CreateNode(NODE_TEXT, {}, &node);
    if (Failed(status)) return status;
    status = node.put_nodeTypedValue(Variant::String(Wide(text)));
    if (Failed(status)) return status;
    return parent.appendChild(node, nullptr);
}

HRESULT SlowElement(const DomDocument& document, const DomNode& parent, std::string_view name,
                    DomNode* appended) {
    DomNode node;
    HRESULT status = document.CreateNode(NODE_ELEMENT, name, &node);
    if (Failed(status)) return status;
    return parent.appendChild(node, appended);
}

HRESULT SlowAttribute(const DomDocument& document, const DomNamedNodeMap& map,
                      std::string_view name, const Variant& value) {
    DomNode node;
    HRESULT status = document.CreateNode(NODE_ATTRIBUTE, name, &node);
    if (Failed(status)) return status;
    (void)node.put_nodeTypedValue(value);   // reports nothing: see AddNewAttribute
    (void)map.setNamedItem(node, nullptr);  // likewise
    return S_OK;
}

// The steps AppendLeaf stands for: an indentation text, an element, then its
// integer attributes, one by one.
HRESULT SlowLeaf(const DomDocument& document, const DomNode& parent, std::string_view name,
                 std::initializer_list<dom::IntAttribute> values) {
    HRESULT status = SlowText(document, parent, "\n\t");
    if (Failed(status)) return status;
    DomNode element;
    status = SlowElement(document, parent, name, &element);
    if (Failed(status)) return status;
    DomNamedNodeMap map;
    (void)element.get_attributes(&map);
    for (const dom::IntAttribute& value : values) {
        (void)SlowAttribute(document, map, value.utf8_name, Variant::Int(value.value));
    }
    return S_OK;
}

// AppendLeaf where it can, the steps otherwise, as XmlNode::SaveIntElement.
HRESULT FastLeaf(const DomDocument& document, const DomNode& parent, std::string_view name,
                 std::initializer_list<dom::IntAttribute> values) {
    if (dom::AppendLeaf(parent, "\n\t", name, values)) return S_OK;
    return SlowLeaf(document, parent, name, values);
}

// The steps AppendTextLeaf stands for: an element, its text attributes one
// by one, then a text below it.
HRESULT SlowTextLeaf(const DomDocument& document, const DomNode& parent, std::string_view name,
                     std::initializer_list<dom::TextAttribute> attributes, std::string_view text) {
    DomNode element;
    HRESULT status = SlowElement(document, parent, name, &element);
    if (Failed(status)) return status;
    DomNamedNodeMap map;
    (void)element.get_attributes(&map);
    for (const dom::TextAttribute& attribute : attributes) {
        status =
            SlowAttribute(document, map, attribute.first, Variant::String(Wide(attribute.second)));
        if (Failed(status)) return status;
    }
    return SlowText(document, element, text);
}

// AppendTextLeaf where it can, the steps otherwise, as the picture's builder.
HRESULT FastTextLeaf(const DomDocument& document, const DomNode& parent, std::string_view name,
                     std::initializer_list<dom::TextAttribute> attributes, std::string_view text) {
    if (dom::AppendTextLeaf(document, parent, name, attributes, &text)) return S_OK;
    return SlowTextLeaf(document, parent, name, attributes, text);
}

// Which node of the twin an operation works on (or creates its nodes with).
enum class On { Root, Document, Other, Text, Null };

DomNode Pick(const Twin& twin, On on) {
    switch (on) {
        case On::Root:
            return twin.root;
        case On::Document:
            return twin.document;
        case On::Other:
            return twin.other;
        case On::Text:
            return twin.text;
        case On::Null:
            break;
    }
    return DomNode();
}

enum class Op { Text, Element, Attribute, TextAttribute, Leaf, TextLeaf };

struct Case {
    const char* label;
    Op op;
    On on;
    On creator;
    std::string name_or_text;
    Variant value;
    std::size_t node_limit;
};

// Runs one operation through the fast path (fast) or the DOM calls.
HRESULT RunCase(const Case& c, const Twin& twin, bool fast, DomNode* appended) {
    const DomNode target = Pick(twin, c.on);
    const DomNode creator = Pick(twin, c.creator);
    // The DOM calls use the creator's document, as XmlNode::OwnerDocument gives it.
    DomDocument document;
    if (creator && Failed(creator.get_ownerDocument(&document))) return E_FAIL;
    if (creator && !document) (void)creator.QueryDocument(&document);  // null unless the document
    switch (c.op) {
        case Op::Text:
            return fast ? dom::AppendNewText(creator, target, c.name_or_text)
                        : SlowText(document, target, c.name_or_text);
        case Op::Element:
            return fast ? dom::AppendNewElement(creator, target, c.name_or_text, appended)
                        : SlowElement(document, target, c.name_or_text, appended);
        case Op::Attribute: {
            DomNamedNodeMap map;
            (void)target.get_attributes(&map);  // a null map for nodes without attributes
            return fast ? dom::AddNewAttribute(creator, map, c.name_or_text, c.value)
                        : SlowAttribute(document, map, c.name_or_text, c.value);
        }
        case Op::TextAttribute: {
            DomNamedNodeMap map;
            (void)target.get_attributes(&map);
            std::string utf8;
            AppendUtf16AsUtf8(c.value.bstrVal, utf8);
            return fast ? dom::AddNewTextAttribute(creator, map, c.name_or_text, utf8)
                        : SlowAttribute(document, map, c.name_or_text, c.value);
        }
        case Op::Leaf: {
            const auto leaf = fast ? FastLeaf : SlowLeaf;
            if (c.name_or_text == "twice") return leaf(document, target, "p", {{"x", 1}, {"x", 2}});
            return leaf(document, target, c.name_or_text, {{"x", -1}, {"y", 2147483647}});
        }
        case Op::TextLeaf: {
            const auto leaf = fast ? FastTextLeaf : SlowTextLeaf;
            if (c.name_or_text == "twice") {
                return leaf(document, target, "t", {{"x", "1"}, {"x", "2"}}, "a");
            }
            if (c.name_or_text == "bad attribute") {
                return leaf(document, target, "t", {{"x", "1"}, {"1y", "2"}}, "a");
            }
            return leaf(document, target, c.name_or_text, {{"class", "key"}, {"y", "\"<&"}},
                        "tip\n\xC3\xA9");
        }
    }
    return E_FAIL;
}

using DomBuildTest = ComTest;

TEST_F(DomBuildTest, FastPathsEndLikeTheDomCallsTheyStandFor) {
    const std::size_t kRoomy = 100;
    const std::size_t kFull = 3;  // document, root and text: no room for more
    const std::vector<Case> cases = {
        {"text below the root", Op::Text, On::Root, On::Root, "\n\t\t", {}, kRoomy},
        {"non-ASCII text",
         Op::Text,
         On::Root,
         On::Root,
         "gr\xC3\xBC\xC3\x9F \xE2\x82\xAC",
         {},
         kRoomy},
        {"blank text below the document", Op::Text, On::Document, On::Root, " \n", {}, kRoomy},
        {"words below the document", Op::Text, On::Document, On::Root, "words", {}, kRoomy},
        {"text below a text node", Op::Text, On::Text, On::Root, "x", {}, kRoomy},
        {"text into another document", Op::Text, On::Other, On::Root, "x", {}, kRoomy},
        {"text below nothing", Op::Text, On::Null, On::Root, "x", {}, kRoomy},
        {"text without room", Op::Text, On::Root, On::Root, "x", {}, kFull},
        {"element below the root", Op::Element, On::Root, On::Root, "key", {}, kRoomy},
        {"non-ASCII element name",
         Op::Element,
         On::Root,
         On::Root,
         "\xC3\xA9t\xC3\xA9",
         {},
         kRoomy},
        {"invalid element name", Op::Element, On::Root, On::Root, "1key", {}, kRoomy},
        {"empty element name", Op::Element, On::Root, On::Root, "", {}, kRoomy},
        {"second root element", Op::Element, On::Document, On::Root, "key", {}, kRoomy},
        {"element below a text node", Op::Element, On::Text, On::Root, "key", {}, kRoomy},
        {"element into another document", Op::Element, On::Other, On::Root, "key", {}, kRoomy},
        {"element below nothing", Op::Element, On::Null, On::Root, "key", {}, kRoomy},
        {"element without room", Op::Element, On::Root, On::Root, "key", {}, kFull},
        {"integer attribute", Op::Attribute, On::Root, On::Root, "x", Variant::Int(-2147483647 - 1),
         kRoomy},
        {"text attribute", Op::Attribute, On::Root, On::Root, "t", Variant::String(u"a\"<\u20AC"),
         kRoomy},
        {"boolean attribute", Op::Attribute, On::Root, On::Root, "b", Variant::Bool(true), kRoomy},
        {"empty attribute", Op::Attribute, On::Root, On::Root, "e", Variant(), kRoomy},
        {"value without text form", Op::Attribute, On::Root, On::Root, "v", Variant::Error(E_FAIL),
         kRoomy},
        {"attribute replaced in place", Op::Attribute, On::Root, On::Root, "a", Variant::Int(9),
         kRoomy},
        {"invalid attribute name", Op::Attribute, On::Root, On::Root, "a b", Variant::Int(1),
         kRoomy},
        {"attribute of a text node", Op::Attribute, On::Text, On::Root, "x", Variant::Int(1),
         kRoomy},
        {"attribute of another document", Op::Attribute, On::Other, On::Root, "x", Variant::Int(1),
         kRoomy},
        {"attribute of nothing", Op::Attribute, On::Null, On::Root, "x", Variant::Int(1), kRoomy},
        {"attribute without room", Op::Attribute, On::Root, On::Root, "x", Variant::Int(1), kFull},
        {"UTF-8 attribute", Op::TextAttribute, On::Root, On::Root, "t",
         Variant::String(u"a\"<\u20AC"), kRoomy},
        {"UTF-8 attribute replaced in place", Op::TextAttribute, On::Root, On::Root, "z",
         Variant::String(u"9"), kRoomy},
        {"UTF-8 attribute, invalid name", Op::TextAttribute, On::Root, On::Root, "1a",
         Variant::String(u"v"), kRoomy},
        {"UTF-8 attribute of a text node", Op::TextAttribute, On::Text, On::Root, "x",
         Variant::String(u"v"), kRoomy},
        {"UTF-8 attribute of another document", Op::TextAttribute, On::Other, On::Root, "x",
         Variant::String(u"v"), kRoomy},
        {"UTF-8 attribute of nothing", Op::TextAttribute, On::Null, On::Root, "x",
         Variant::String(u"v"), kRoomy},
        {"UTF-8 attribute without room", Op::TextAttribute, On::Root, On::Root, "x",
         Variant::String(u"v"), kFull},
        {"leaf below the root", Op::Leaf, On::Root, On::Root, "point", {}, kRoomy},
        {"leaf with an attribute twice", Op::Leaf, On::Root, On::Root, "twice", {}, kRoomy},
        {"leaf with room for its element only", Op::Leaf, On::Root, On::Root, "p", {}, kFull + 2},
        {"leaf with an invalid name", Op::Leaf, On::Root, On::Root, "1p", {}, kRoomy},
        {"leaf below the document", Op::Leaf, On::Document, On::Root, "p", {}, kRoomy},
        {"leaf below a text node", Op::Leaf, On::Text, On::Root, "p", {}, kRoomy},
        {"leaf into another document", Op::Leaf, On::Other, On::Root, "p", {}, kRoomy},
        {"text leaf below the root", Op::TextLeaf, On::Root, On::Document, "text", {}, kRoomy},
        {"text leaf with an attribute twice",
         Op::TextLeaf,
         On::Root,
         On::Document,
         "twice",
         {},
         kRoomy},
        {"text leaf with an invalid attribute name",
         Op::TextLeaf,
         On::Root,
         On::Document,
         "bad attribute",
         {},
         kRoomy},
        {"text leaf with no room for its text",
         Op::TextLeaf,
         On::Root,
         On::Document,
         "t",
         {},
         kFull + 3},
        {"text leaf with an invalid name", Op::TextLeaf, On::Root, On::Document, "1t", {}, kRoomy},
        {"text leaf below the document", Op::TextLeaf, On::Document, On::Document, "t", {}, kRoomy},
        {"text leaf below a text node", Op::TextLeaf, On::Text, On::Document, "t", {}, kRoomy},
        {"text leaf into another document", Op::TextLeaf, On::Other, On::Document, "t", {}, kRoomy},
        {"text leaf made by another document", Op::TextLeaf, On::Root, On::Other, "t", {}, kRoomy},
        {"created by the document node", Op::Element, On::Root, On::Document, "k", {}, kRoomy},
        {"created by a text node", Op::Attribute, On::Root, On::Text, "k", Variant::Int(1), kRoomy},
        {"created by another document", Op::Text, On::Root, On::Other, "k", {}, kRoomy},
        {"created by nothing", Op::Element, On::Root, On::Null, "k", {}, kRoomy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Twin fast = MakeTwin(c.node_limit);
        Twin slow = MakeTwin(c.node_limit);
        for (Twin* twin : {&fast, &slow}) {
            // Attributes before and after the one to be replaced.
            if (c.node_limit == kRoomy) {
                DomNamedNodeMap map;
                EXPECT_EQ(twin->root.get_attributes(&map), S_OK);
                SlowAttribute(twin->document, map, "a", Variant::Int(1));
                SlowAttribute(twin->document, map, "z", Variant::Int(2));
            }
        }
        DomNode fast_appended;
        DomNode slow_appended;
        EXPECT_EQ(RunCase(c, fast, true, &fast_appended), RunCase(c, slow, false, &slow_appended));
        EXPECT_EQ(DumpTree(fast.document), DumpTree(slow.document));
        EXPECT_EQ(DumpTree(fast.other), DumpTree(slow.other));
        EXPECT_EQ(static_cast<bool>(fast_appended), static_cast<bool>(slow_appended));
        if (fast_appended) {
            EXPECT_EQ(DumpTree(fast_appended), DumpTree(slow_appended));
        }
        EXPECT_EQ(NodeCount(fast.document), NodeCount(slow.document));
    }
}

TEST_F(DomBuildTest, NamesFromAParsedDocumentAreStillChecked) {
    DomDocument document;
    ASSERT_EQ(ParseXmlMemory("<r><key/></r>", &document), S_OK);
    DomNode root;
    ASSERT_EQ(document.get_firstChild(&root), S_OK);
    DomNode key;
    EXPECT_EQ(dom::AppendNewElement(document, root, "key", &key), S_OK);
    EXPECT_EQ(dom::AppendNewElement(document, root, "-key", &key), E_FAIL);
    std::string text;
    ASSERT_EQ(document.SaveToString(&text), S_OK);
    EXPECT_EQ(text, "<r><key/><key/></r>");
}

TEST_F(DomBuildTest, ManyNamesStayDistinct) {
    // Enough names to make the name table grow several times.
    DomDocument document;
    ASSERT_EQ(CreateDomDocument(&document), S_OK);
    DomNode root;
    ASSERT_EQ(dom::AppendNewElement(document, document, "r", &root), S_OK);  // the document creates
    DomNamedNodeMap map;
    ASSERT_EQ(root.get_attributes(&map), S_OK);
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 500; ++i) {
            std::string name(1, 'n');
            name += std::to_string(i);
            ASSERT_EQ(dom::AddNewAttribute(document, map, name, Variant::Int(i + round)), S_OK);
        }
    }
    std::string expected = "<r";
    for (int i = 0; i < 500; ++i) {
        expected.append(" n").append(std::to_string(i));
        expected.append("=\"").append(std::to_string(i + 1)).append("\"");
    }
    expected += "/>";
    std::string text;
    ASSERT_EQ(document.SaveToString(&text), S_OK);
    EXPECT_EQ(text, expected);
    DomNode attribute;
    ASSERT_EQ(map.getNamedItem(u"n321", &attribute), S_OK);
    Variant value;
    ASSERT_EQ(attribute.get_nodeTypedValue(&value), S_OK);
    EXPECT_EQ(value.bstrVal, u"322");
}

TEST_F(DomBuildTest, ANameBufferReusedForOtherTextGivesTheNewName) {
    // Names are remembered by the address they came from; the same buffer
    // holding another text must still give that text's name, or a failure.
    DomDocument document;
    ASSERT_EQ(CreateDomDocument(&document), S_OK);
    DomNode root;
    ASSERT_EQ(dom::AppendNewElement(document, document, "r", &root), S_OK);
    DomNamedNodeMap map;
    ASSERT_EQ(root.get_attributes(&map), S_OK);
    std::string name;
    name.reserve(32);
    const char* const address = name.data();
    const struct {
        const char* name;
        HRESULT status;
    } steps[] = {{"alpha", S_OK}, {"omega", S_OK}, {"1bad", E_FAIL}, {"alpha", S_OK}, {"al", S_OK}};
    for (const auto& step : steps) {
        name = step.name;
        ASSERT_EQ(name.data(), address);
        DomNode child;
        EXPECT_EQ(dom::AppendNewElement(document, root, name, &child), step.status) << step.name;
        EXPECT_EQ(dom::AddNewAttribute(document, map, name, Variant::Int(1)), step.status)
            << step.name;
    }
    std::string text;
    ASSERT_EQ(document.SaveToString(&text), S_OK);
    EXPECT_EQ(text, "<r alpha=\"1\" omega=\"1\" al=\"1\"><alpha/><omega/><alpha/><al/></r>");
}

TEST_F(DomBuildTest, TextsOfEverySizeComeBackWhole) {
    // Short texts live inside the node record, longer ones elsewhere: both
    // sides of the boundary, for text nodes and attribute values.
    DomDocument document;
    ASSERT_EQ(CreateDomDocument(&document), S_OK);
    DomNode root;
    ASSERT_EQ(dom::AppendNewElement(document, document, "r", &root), S_OK);
    DomNamedNodeMap map;
    ASSERT_EQ(root.get_attributes(&map), S_OK);
    std::string expected_attributes;
    std::string expected_texts;
    for (std::size_t size : {0u, 1u, 7u, 8u, 9u, 12u, 13u, 100u, 20000u}) {
        std::string value(size, 'x');
        for (std::size_t i = 0; i < size; ++i) value[i] = static_cast<char>('a' + (i + size) % 26);
        const std::string name = "a" + std::to_string(size);
        ASSERT_EQ(dom::AddNewAttribute(document, map, name, Variant::String(Wide(value))), S_OK);
        ASSERT_EQ(dom::AppendNewText(document, root, value), S_OK);
        expected_attributes += " " + name + "=\"" + value + "\"";
        expected_texts += value;
    }
    std::string text;
    ASSERT_EQ(document.SaveToString(&text), S_OK);
    EXPECT_EQ(text, "<r" + expected_attributes + ">" + expected_texts + "</r>");
}

TEST_F(DomBuildTest, ADocumentOfManyChunksKeepsEveryNode) {
    // Node records are kept in blocks of about a quarter of a million; later
    // blocks are prepared ahead of use. Fill several and read all back.
    DomDocument document;
    ASSERT_EQ(CreateDomDocument(&document), S_OK);
    DomNode root;
    ASSERT_EQ(dom::AppendNewElement(document, document, "r", &root), S_OK);
    std::string expected = "<r>";
    for (int i = 0; i < 400000; ++i) {
        DomNode child;
        ASSERT_EQ(dom::AppendNewElement(document, root, "e", &child), S_OK);
        DomNamedNodeMap map;
        ASSERT_EQ(child.get_attributes(&map), S_OK);
        ASSERT_EQ(dom::AddNewAttribute(document, map, "v", Variant::Int(i)), S_OK);
        expected += "<e v=\"" + std::to_string(i) + "\"/>";
    }
    expected += "</r>";
    std::string text;
    ASSERT_EQ(document.SaveToString(&text), S_OK);
    EXPECT_TRUE(text == expected);  // not EXPECT_EQ: a mismatch would print megabytes
}

TEST_F(DomBuildTest, HasElementChild) {
    Twin twin = MakeTwin(100);
    EXPECT_FALSE(dom::HasElementChild(DomNode()));
    EXPECT_FALSE(dom::HasElementChild(twin.text));
    EXPECT_FALSE(dom::HasElementChild(twin.root));
    ASSERT_EQ(dom::AppendNewText(twin.root, twin.root, "\n"), S_OK);
    EXPECT_FALSE(dom::HasElementChild(twin.root));
    DomNode child;
    ASSERT_EQ(dom::AppendNewElement(twin.root, twin.root, "c", &child), S_OK);
    EXPECT_TRUE(dom::HasElementChild(twin.root));
    EXPECT_TRUE(dom::HasElementChild(twin.document));
    EXPECT_FALSE(dom::HasElementChild(child));
}

}  // namespace

}  // namespace dravonix
