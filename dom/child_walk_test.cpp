#include "dom/child_walk.h"

#include <gtest/gtest.h>

#include <string>

#include "dom/xml_parse.h"
#include "testing/com_test.h"

namespace dravonix {

namespace {

class ChildWalkTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_EQ(ParseXmlMemory("<?pi x?><!--c--><r a='1'>t<c n='1'/><!--c--><C n='2'/><k:c "
                                 "xmlns:k='urn:k' n='3'/><d n='4'/>u<c n='5'><c n='6'/></c></r>",
                                 &document),
                  S_OK);
        root = dom::FirstChildElement(document);
    }
    void TearDown() override {
        root.Release();
        document.Release();
        ComTest::TearDown();
    }

    // The "n" attributes of the elements the walk by name (any element when
    // null) visits below root.
    std::string Visit(const char* name) {
        std::string visited;
        DomNode node = name ? dom::FirstChildElement(root, name) : dom::FirstChildElement(root);
        while (node) {
            DomNamedNodeMap map;
            EXPECT_EQ(node.get_attributes(&map), S_OK);
            DomNode attribute;
            EXPECT_EQ(map.getNamedItem(u"n", &attribute), S_OK);
            Variant value;
            EXPECT_EQ(attribute.get_nodeTypedValue(&value), S_OK);
            visited += std::string(value.bstrVal.begin(), value.bstrVal.end());
            node = name ? dom::NextSiblingElement(node, name) : dom::NextSiblingElement(node);
        }
        return visited;
    }

    DomDocument document;
    DomNode root;
};

TEST_F(ChildWalkTest, VisitsTheDirectChildElementsOfExactlyThatName) {
    std::u16string name;
    ASSERT_EQ(root.get_nodeName(&name), S_OK);
    EXPECT_EQ(name, u"r");
    EXPECT_EQ(Visit("c"), "15");
    EXPECT_EQ(Visit("C"), "2");
    EXPECT_EQ(Visit("k:c"), "3");
    EXPECT_EQ(Visit(nullptr), "12345");
    for (const char* missing : {"", "r", "a", "#text", "#comment", "pi", "never seen"}) {
        EXPECT_EQ(Visit(missing), "") << missing;
    }
}

TEST_F(ChildWalkTest, NodesWithoutChildrenOrSiblings) {
    DomNamedNodeMap map;
    ASSERT_EQ(root.get_attributes(&map), S_OK);
    DomNode attribute;
    ASSERT_EQ(map.getNamedItem(u"a", &attribute), S_OK);
    DomNode text;
    ASSERT_EQ(root.get_firstChild(&text), S_OK);
    for (const DomNode& node : {DomNode(), attribute, text}) {
        EXPECT_FALSE(dom::FirstChildElement(node));
        EXPECT_FALSE(dom::FirstChildElement(node, "c"));
        EXPECT_FALSE(dom::HasElementChild(node));
    }
    EXPECT_FALSE(dom::NextSiblingElement(DomNode()));
    EXPECT_FALSE(dom::NextSiblingElement(attribute));
    // The text before the first element: its next element sibling is "c".
    EXPECT_TRUE(dom::NextSiblingElement(text) == dom::FirstChildElement(root, "c"));
    EXPECT_FALSE(dom::NextSiblingElement(root));
}

}  // namespace

}  // namespace dravonix
