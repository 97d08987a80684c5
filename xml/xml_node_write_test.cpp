// Tests of the writing operations of XmlNode: indentation layout, typed
// attribute values, text values, nested objects and lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/save_test_util.h"

namespace dravonix {

namespace {

// The text of a text node.
std::u16string TextOf(const DomNode& node) {
    Variant value;
    EXPECT_EQ(node.get_nodeTypedValue(&value), S_OK);
    return value.bstrVal;
}

using XmlNodeWriteTest = ComTest;

TEST_F(XmlNodeWriteTest, NestedElementsAreIndentedOneTabPerLevel) {
    TestElement hotspot;
    hotspot.ints = {{"x", 0}, {"y", 0}};
    TestElement subkeydef;
    subkeydef.children = {{"hotspot", &hotspot}};
    TestElement keydef;
    keydef.children = {{"subkeydef", &subkeydef}};
    EXPECT_EQ(SaveAsRoot("keydef", keydef),
              "<keydef>\n"
              "\t<subkeydef>\n"
              "\t\t<hotspot x=\"0\" y=\"0\"/>\n"
              "\t</subkeydef>\n"
              "</keydef>");
}

TEST_F(XmlNodeWriteTest, IndentationDependsOnTheCreatorsLevel) {
    DomDocument document = NewDocument();
    TestElement root;
    EXPECT_EQ(root.Bind(document), S_FALSE);
    DomNode top;
    ASSERT_EQ(root.CreateChildElement("top", &top), S_OK);
    DomNode first;
    ASSERT_EQ(document.get_firstChild(&first), S_OK);
    EXPECT_TRUE(first == top);  // level 0: nothing before the element

    TestElement deep;
    deep.SetLevel(2);
    EXPECT_EQ(deep.Bind(top), S_OK);
    DomNode child;
    ASSERT_EQ(deep.CreateChildElement("child", &child), S_OK);
    DomNode indentation;
    ASSERT_EQ(top.get_firstChild(&indentation), S_OK);
    DOMNodeType type = NODE_INVALID;
    ASSERT_EQ(indentation.get_nodeType(&type), S_OK);
    EXPECT_EQ(type, NODE_TEXT);
    EXPECT_EQ(TextOf(indentation), u"\n\t\t");
    DomNode next;
    ASSERT_EQ(indentation.get_nextSibling(&next), S_OK);
    EXPECT_TRUE(next == child);

    // Closing text: the creator's level, a line feed alone at level 0.
    EXPECT_EQ(deep.FinishElement(top), S_OK);
    EXPECT_EQ(root.FinishElement(document), S_OK);
    EXPECT_EQ(Serialized(document), "<top>\n\t\t<child/>\n\t\t</top>\n");
    DomNode last;
    ASSERT_EQ(document.get_firstChild(&last), S_OK);
    ASSERT_EQ(last.get_nextSibling(&last), S_OK);
    ASSERT_TRUE(static_cast<bool>(last));
    EXPECT_EQ(TextOf(last), u"\n");
}

TEST_F(XmlNodeWriteTest, CreateChildElementReportsDomFailures) {
    TestElement unbound;
    DomNode child;
    EXPECT_EQ(unbound.CreateChildElement("a", &child), E_UNEXPECTED);

    DomDocument document = NewDocument();
    TestElement root;
    EXPECT_EQ(root.Bind(document), S_FALSE);
    ASSERT_EQ(root.CreateChildElement("top", &child), S_OK);
    TestElement inner;
    inner.SetLevel(1);
    EXPECT_EQ(inner.Bind(child), S_OK);
    document.SetNodeLimit(3);  // room for the indentation text only
    DomNode missing;
    EXPECT_EQ(inner.CreateChildElement("a", &missing), E_OUTOFMEMORY);
    EXPECT_FALSE(static_cast<bool>(missing));
    missing = child;  // a failure never hands back a stale element
    EXPECT_EQ(inner.CreateChildElement("a", &missing), E_OUTOFMEMORY);  // no indentation text
    EXPECT_FALSE(static_cast<bool>(missing));
    document.SetNodeLimit(100);
    EXPECT_EQ(inner.CreateChildElement("not a name", &missing), E_FAIL);
    EXPECT_FALSE(static_cast<bool>(missing));
}

TEST_F(XmlNodeWriteTest, TypedSettersGiveTheTextFormsOfTheirValues) {
    DomDocument document = NewDocument();
    TestElement root;
    EXPECT_EQ(root.Bind(document), S_FALSE);
    DomNode element;
    ASSERT_EQ(root.CreateChildElement("e", &element), S_OK);
    TestElement target;
    EXPECT_EQ(target.Bind(element), S_OK);
    EXPECT_EQ(target.SetIntAttribute("neg", -1), S_OK);
    EXPECT_EQ(target.SetIntAttribute("min", INT32_MIN), S_OK);
    EXPECT_EQ(target.SetBoolAttribute("t", true), S_OK);
    EXPECT_EQ(target.SetBoolAttribute("f", false), S_OK);
    EXPECT_EQ(target.SetStringAttribute("empty", ""), S_OK);
    EXPECT_EQ(target.SetStringAttribute("text", "a\"<&\xE9"), S_OK);
    EXPECT_EQ(target.SetCharAttribute("nul", '\0'), S_OK);
    EXPECT_EQ(target.SetCharAttribute("euro", '\x80'), S_OK);
    EXPECT_EQ(target.SetCharAttribute("ff", '\xFF'), S_OK);
    EXPECT_EQ(Serialized(document),
              "<e neg=\"-1\" min=\"-2147483648\" t=\"true\" f=\"false\" empty=\"\" "
              "text=\"a&quot;&lt;&amp;\xC3\xA9\" nul=\"\" euro=\"\xE2\x82\xAC\" ff=\"\xC3\xBF\"/>");
    // The booleans read back as the values that were written.
    Variant value;
    EXPECT_EQ(target.GetAttribute("t", VT_BOOL, &value), S_OK);
    EXPECT_EQ(value.boolVal, VARIANT_TRUE);
    EXPECT_EQ(target.GetAttribute("f", VT_BOOL, &value), S_OK);
    EXPECT_EQ(value.boolVal, VARIANT_FALSE);
}

TEST_F(XmlNodeWriteTest, SaveListWritesEveryObjectOrStopsAtTheFirstFailure) {
    DomDocument document = NewDocument();
    TestElement root;
    EXPECT_EQ(root.Bind(document), S_FALSE);
    std::vector<TestElement> none;
    EXPECT_EQ(root.SaveList("item", none), S_OK);

    DomNode top;
    ASSERT_EQ(root.CreateChildElement("top", &top), S_OK);
    TestElement holder;
    holder.SetLevel(1);
    EXPECT_EQ(holder.Bind(top), S_OK);
    EXPECT_EQ(holder.SaveList("item", none), S_OK);
    EXPECT_EQ(Serialized(document), "<top/>");

    TestElement leaf;
    std::vector<TestElement> items(3);
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].ints = {{"n", static_cast<std::int32_t>(i)}};
        items[i].children = {{"leaf", &leaf}};
    }
    items[1].result = E_FAIL;
    EXPECT_EQ(holder.SaveList("item", items), E_FAIL);
    // The failing object keeps its element but gets no closing text.
    EXPECT_EQ(Serialized(document),
              "<top>\n"
              "\t<item n=\"0\">\n\t\t<leaf/>\n\t</item>\n"
              "\t<item n=\"1\">\n\t\t<leaf/></item></top>");
    EXPECT_EQ(items[0].level, 2);
    EXPECT_FALSE(static_cast<bool>(items[2].element));
}

TEST_F(XmlNodeWriteTest, SaveChildPassesOnAFailingChildWithoutClosingIt) {
    DomDocument document = NewDocument();
    TestElement leaf;
    TestElement failing;
    failing.children = {{"leaf", &leaf}};
    failing.result = E_FAIL;
    TestRoot root("top", failing);
    EXPECT_EQ(root.Bind(document), S_FALSE);
    EXPECT_EQ(root.Save(document), E_FAIL);
    EXPECT_EQ(Serialized(document), "<top>\n\t<leaf/></top>");
}

}  // namespace

}  // namespace dravonix
