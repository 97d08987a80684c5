#include "dom/dom.h"

#include <gtest/gtest.h>

#include "platform/com.h"
#include "testing/com_test.h"
#include "testing/dom_test_util.h"

namespace dravonix {

namespace {

class DomTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_EQ(CreateDomDocument(&doc), S_OK);
    }
    void TearDown() override {
        doc.Release();
        ComTest::TearDown();
    }
    DomNode Element(std::string_view name) {
        DomNode node;
        EXPECT_EQ(doc.CreateNode(NODE_ELEMENT, name, &node), S_OK);
        return node;
    }
    DomNode Text(std::u16string text) {
        DomNode node;
        EXPECT_EQ(doc.CreateNode(NODE_TEXT, {}, &node), S_OK);
        EXPECT_EQ(node.put_nodeTypedValue(Variant::String(std::move(text))), S_OK);
        return node;
    }
    DomNode Attribute(std::string_view name, const Variant& value) {
        DomNode node;
        EXPECT_EQ(doc.CreateNode(NODE_ATTRIBUTE, name, &node), S_OK);
        EXPECT_EQ(node.put_nodeTypedValue(value), S_OK);
        return node;
    }
    DomDocument doc;
};

}  // namespace

TEST(DomCreation, FailsWithoutTheComRuntime) {
    DomDocument doc;
    EXPECT_EQ(CreateDomDocument(&doc), CO_E_NOTINITIALIZED);
    EXPECT_FALSE(doc);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    EXPECT_EQ(CreateDomDocument(&doc), S_OK) << "the count keeps the runtime started";
    CoUninitialize();
    EXPECT_FALSE(ComInitialized());
}

TEST_F(DomTest, AppendChildHandsBackTheNodeAndKeepsOrder) {
    DomNode root = Element("root");
    DomNode appended;
    ASSERT_EQ(doc.appendChild(root, &appended), S_OK);
    EXPECT_TRUE(appended == root);
    ASSERT_EQ(root.appendChild(Text(u"\n\t"), nullptr), S_OK);
    ASSERT_EQ(root.appendChild(Element("a"), nullptr), S_OK);
    ASSERT_EQ(root.appendChild(Element("b"), nullptr), S_OK);
    EXPECT_EQ(DumpTree(doc), "#document\n  root\n    #text [\n\t]\n    a\n    b\n");

    // A node that is appended again moves to the end.
    DomNode first;
    ASSERT_EQ(root.get_firstChild(&first), S_OK);
    ASSERT_EQ(root.appendChild(first, nullptr), S_OK);
    EXPECT_EQ(DumpTree(root), "root\n  a\n  b\n  #text [\n\t]\n");
}

TEST_F(DomTest, RejectsAppendsThatBreakTheTree) {
    DomNode root = Element("root");
    DomNode child = Element("child");
    ASSERT_EQ(doc.appendChild(root, nullptr), S_OK);
    ASSERT_EQ(root.appendChild(child, nullptr), S_OK);
    EXPECT_LT(child.appendChild(root, nullptr), 0) << "a cycle";
    EXPECT_LT(root.appendChild(root, nullptr), 0);
    EXPECT_LT(doc.appendChild(Element("second"), nullptr), 0) << "one root element";
    EXPECT_LT(doc.appendChild(Text(u"text"), nullptr), 0);
    EXPECT_LT(Text(u"x").appendChild(Element("y"), nullptr), 0);
    EXPECT_LT(root.appendChild(Attribute("a", Variant::Int(1)), nullptr), 0);
    DomNode invalid;
    EXPECT_LT(doc.CreateNode(NODE_ELEMENT, "two words", &invalid), 0);
    EXPECT_LT(doc.CreateNode(NODE_ELEMENT, "", &invalid), 0);
    EXPECT_LT(doc.CreateNode(NODE_ATTRIBUTE, "1x", &invalid), 0);
    EXPECT_FALSE(invalid);
}

TEST_F(DomTest, NamesMustBeXmlNamesInWellFormedUtf8) {
    const struct {
        std::string_view name;
        HRESULT status;
    } cases[] = {
        {"key", S_OK},
        {"_a-b.c:d9", S_OK},
        {"\xC3\xA9t\xC3\xA9", S_OK},  // U+00E9 t U+00E9
        {"\xEF\xBF\xBD", S_OK},       // U+FFFD itself is a name character
        {"\xF0\x90\x80\x80", S_OK},   // U+10000
        {"a\xCC\x80", S_OK},          // U+0300 after the first character
        {"\xCC\x80"
         "a",
         E_FAIL},  // a combining U+0300 cannot start a name
        {"9key", E_FAIL},
        {"\xFF", E_FAIL},
        {"a\xC3", E_FAIL},              // cut off
        {"a\xA9", E_FAIL},              // stray continuation byte
        {"\xC1\xA1", E_FAIL},           // overlong "a"
        {"a\xE0\x80\xAD", E_FAIL},      // overlong "-"
        {"a\xED\xA0\x80", E_FAIL},      // a surrogate
        {"a\xF4\x90\x80\x80", E_FAIL},  // past U+10FFFF
    };
    for (const auto& c : cases) {
        for (DOMNodeType type : {NODE_ELEMENT, NODE_ATTRIBUTE}) {
            DomNode node;
            EXPECT_EQ(doc.CreateNode(type, c.name, &node), c.status)
                << testing::PrintToString(std::string(c.name));
            EXPECT_EQ(static_cast<bool>(node), c.status == S_OK);
        }
    }
}

TEST_F(DomTest, AttributesKeepInsertionOrderAndExactNames) {
    DomNode element = Element("e");
    DomNamedNodeMap map;
    ASSERT_EQ(element.get_attributes(&map), S_OK);
    ASSERT_EQ(map.setNamedItem(Attribute("zeta", Variant::Int(-1)), nullptr), S_OK);
    ASSERT_EQ(map.setNamedItem(Attribute("alpha", Variant::String(u"x")), nullptr), S_OK);
    ASSERT_EQ(map.setNamedItem(Attribute("mid", Variant::Bool(true)), nullptr), S_OK);
    ASSERT_EQ(map.setNamedItem(Attribute("alpha", Variant::String(u"y")), nullptr),
              S_OK);  // replaces in place
    EXPECT_EQ(DumpTree(element), "e zeta=[-1] alpha=[y] mid=[true]\n");

    DomNode found;
    EXPECT_EQ(map.getNamedItem(u"mid", &found), S_OK);
    EXPECT_TRUE(found);
    EXPECT_EQ(map.getNamedItem(u"Mid", &found), S_FALSE);
    EXPECT_FALSE(found);
    EXPECT_EQ(map.getNamedItem(u"never-seen", &found), S_FALSE);

    DomNamedNodeMap none;
    EXPECT_EQ(Text(u"t").get_attributes(&none), S_FALSE);
    EXPECT_FALSE(none);
}

TEST_F(DomTest, NodeNamesTypesAndOwners) {
    DomNode element = Element("kb");
    DomNode text = Text(u"t");
    std::u16string name;
    ASSERT_EQ(element.get_nodeName(&name), S_OK);
    EXPECT_EQ(name, u"kb");
    ASSERT_EQ(text.get_nodeName(&name), S_OK);
    EXPECT_EQ(name, u"#text");
    ASSERT_EQ(doc.get_nodeName(&name), S_OK);
    EXPECT_EQ(name, u"#document");

    DomDocument owner;
    EXPECT_EQ(element.get_ownerDocument(&owner), S_OK);
    EXPECT_TRUE(owner == doc);
    EXPECT_EQ(doc.get_ownerDocument(&owner), S_FALSE);
    EXPECT_FALSE(owner);
    EXPECT_EQ(doc.QueryDocument(&owner), S_OK);
    EXPECT_TRUE(owner == doc);
    EXPECT_EQ(element.QueryDocument(&owner), E_NOINTERFACE);
}

TEST_F(DomTest, TypedValues) {
    DomNode root = Element("r");
    ASSERT_EQ(doc.appendChild(root, nullptr), S_OK);
    DomNode inner = Element("i");
    ASSERT_EQ(root.appendChild(Text(u"one "), nullptr), S_OK);
    ASSERT_EQ(root.appendChild(inner, nullptr), S_OK);
    ASSERT_EQ(inner.appendChild(Text(u"two"), nullptr), S_OK);
    ASSERT_EQ(root.appendChild(Text(u" three"), nullptr), S_OK);
    Variant value;
    ASSERT_EQ(root.get_nodeTypedValue(&value), S_OK);
    EXPECT_EQ(value.bstrVal, u"one two three");

    // Setting an element's value replaces its children by one text node.
    ASSERT_EQ(inner.put_nodeTypedValue(Variant::Int(42)), S_OK);
    EXPECT_EQ(DumpTree(inner), "i\n  #text [42]\n");
    DomNode attribute = Attribute("a", Variant::Bool(false));
    ASSERT_EQ(attribute.get_nodeTypedValue(&value), S_OK);
    EXPECT_EQ(value.bstrVal, u"false");
    EXPECT_LT(attribute.put_nodeTypedValue(Variant::Error(E_OUTOFMEMORY)), 0);
}

TEST_F(DomTest, NodesKeepTheirDocumentAlive) {
    DomNode element = Element("kept");
    ASSERT_EQ(doc.appendChild(element, nullptr), S_OK);
    doc.Release();  // the last document handle goes; the element handle remains
    DomDocument owner;
    ASSERT_EQ(element.get_ownerDocument(&owner), S_OK);
    DomNode first;
    ASSERT_EQ(owner.get_firstChild(&first), S_OK);
    EXPECT_TRUE(first == element);
    std::u16string name;
    ASSERT_EQ(first.get_nodeName(&name), S_OK);
    EXPECT_EQ(name, u"kept");
}

TEST_F(DomTest, NodeLimitMakesCreationFail) {
    doc.SetNodeLimit(3);  // the document node counts
    DomNode a = Element("a");
    DomNode b = Element("b");
    DomNode c;
    EXPECT_EQ(doc.CreateNode(NODE_ELEMENT, "c", &c), E_OUTOFMEMORY);
    EXPECT_FALSE(c);
}

}  // namespace dravonix
