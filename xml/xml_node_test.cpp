#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include "testing/com_test.h"

namespace dravonix {

namespace {

// The smallest concrete XmlNode.
class Plain : public XmlNode {
public:
    HRESULT Load(const DomNode&) override { return S_OK; }
    HRESULT Save(const DomNode&) override { return S_OK; }
};

class XmlNodeTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_EQ(CreateDomDocument(&doc), S_OK);
        ASSERT_EQ(doc.CreateNode(NODE_ELEMENT, "a", &a), S_OK);
        ASSERT_EQ(doc.CreateNode(NODE_ELEMENT, "b", &b), S_OK);
    }
    void TearDown() override {
        a.Release();
        b.Release();
        doc.Release();
        ComTest::TearDown();
    }
    DomDocument doc;
    DomNode a, b;
};

}  // namespace

TEST(XmlNodeLevel, NegativeLevelsBecomeZero) {
    Plain node;
    EXPECT_EQ(node.level, 0);
    node.SetLevel(-5);
    EXPECT_EQ(node.level, 0);
    node.SetLevel(3);
    EXPECT_EQ(node.level, 3);
}

TEST_F(XmlNodeTest, OwnerDocument) {
    Plain node;
    DomDocument owner;
    EXPECT_EQ(node.OwnerDocument(nullptr), E_POINTER);
    EXPECT_EQ(node.OwnerDocument(&owner), E_UNEXPECTED);
    EXPECT_EQ(node.Bind(doc), S_FALSE) << "the document node has no attribute map";
    ASSERT_EQ(node.OwnerDocument(&owner), S_OK);
    EXPECT_TRUE(owner == doc);
    EXPECT_EQ(node.Bind(a), S_OK);
    ASSERT_EQ(node.OwnerDocument(&owner), S_OK);
    EXPECT_TRUE(owner == doc);
}

TEST_F(XmlNodeTest, CopiesShareTheBindingAndOutliveTheSource) {
    auto source = std::make_unique<Plain>();
    EXPECT_EQ(source->Bind(a), S_OK);
    source->SetLevel(2);
    Plain copy(*source);
    EXPECT_TRUE(copy.element == a);
    EXPECT_TRUE(copy.attributes);
    EXPECT_EQ(copy.level, 2);
    source.reset();
    // The copy's binding still works: it can write an attribute.
    EXPECT_EQ(copy.SetIntAttribute("x", 1), S_OK);
    DomNode found;
    DomNamedNodeMap map;
    ASSERT_EQ(a.get_attributes(&map), S_OK);
    EXPECT_EQ(map.getNamedItem(u"x", &found), S_OK);
}

TEST_F(XmlNodeTest, RebindingReleasesTheOldNode) {
    DomDocument other;
    ASSERT_EQ(CreateDomDocument(&other), S_OK);
    DomNode c;
    ASSERT_EQ(other.CreateNode(NODE_ELEMENT, "c", &c), S_OK);
    Plain node;
    std::uint32_t before = a.DocumentReferences();
    EXPECT_EQ(node.Bind(a), S_OK);
    EXPECT_EQ(a.DocumentReferences(), before + 2) << "the element and its attribute map";
    EXPECT_EQ(node.Bind(c), S_OK);
    EXPECT_EQ(a.DocumentReferences(), before);
}

}  // namespace dravonix
