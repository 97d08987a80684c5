// The reading operations of XmlNode: statuses of the typed getters and of the
// child lookups, and what they store.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "dom/xml_parse.h"
#include "testing/com_test.h"
#include "xml/xml_node.h"

namespace dravonix {

namespace {

// An XmlNode that only reads through the base operations.
class Probe : public XmlNode {
public:
    HRESULT Load(const DomNode&) override { return S_OK; }
    HRESULT Save(const DomNode&) override { return S_OK; }
};

class XmlNodeReadTest : public ComTest {
protected:
    // Binds probe to the root element of xml.
    void BindRoot(std::string_view xml) {
        DomDocument parsed;
        ASSERT_EQ(ParseXmlMemory(xml, &parsed), S_OK) << xml;
        DomNode root;
        ASSERT_EQ(parsed.get_firstChild(&root), S_OK);
        ASSERT_EQ(probe.Bind(root), S_OK);
    }

    Probe probe;
};

TEST_F(XmlNodeReadTest, IntAttributeStatuses) {
    BindRoot("<e a='-42' c='x' d='2147483648' e=''/>");
    struct Case {
        const char* name;
        HRESULT status;
        std::int32_t value;
    } cases[] = {
        {"a", S_OK, -42},           {"c", DISP_E_TYPEMISMATCH, 99},
        {"d", DISP_E_OVERFLOW, 99}, {"e", DISP_E_TYPEMISMATCH, 99},
        {"A", S_FALSE, 99},         {"z", S_FALSE, 99},
    };
    for (const Case& c : cases) {
        std::int32_t value = 99;
        EXPECT_EQ(probe.GetIntAttribute(c.name, &value), c.status) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
}

TEST_F(XmlNodeReadTest, AbsentAttributeLeavesVariantEmpty) {
    BindRoot("<e a='1'/>");
    Variant value = Variant::Int(5);
    EXPECT_EQ(probe.GetAttribute("b", VT_I4, &value), S_FALSE);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(probe.GetAttribute("a", VT_BSTR, &value), S_OK);
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(value.bstrVal, u"1");
}

TEST_F(XmlNodeReadTest, BoolStringAndCharAttributes) {
    BindRoot("<e t='true' T='TRUE' one='1' zero='0' yes='yes' s='a&amp;b' c='xyz' empty=''/>");
    struct Case {
        const char* name;
        HRESULT status;
        bool value;
    } bools[] = {{"t", S_OK, true},
                 {"T", S_OK, true},
                 {"one", S_OK, true},
                 {"zero", S_OK, false},
                 {"yes", DISP_E_TYPEMISMATCH, true},
                 {"none", S_FALSE, true}};
    for (const Case& c : bools) {
        bool value = true;
        EXPECT_EQ(probe.GetBoolAttribute(c.name, &value), c.status) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }

    std::string text = "old";
    EXPECT_EQ(probe.GetStringAttribute("s", &text), S_OK);
    EXPECT_EQ(text, "a&b");
    EXPECT_EQ(probe.GetStringAttribute("empty", &text), S_OK);
    EXPECT_EQ(text, "");
    text = "old";
    EXPECT_EQ(probe.GetStringAttribute("none", &text), S_FALSE);
    EXPECT_EQ(text, "old");

    char c = 'q';
    EXPECT_EQ(probe.GetCharAttribute("c", &c), S_OK);
    EXPECT_EQ(c, 'x');
    EXPECT_EQ(probe.GetCharAttribute("empty", &c), S_OK);
    EXPECT_EQ(probe.GetCharAttribute("none", &c), S_OK);
    EXPECT_EQ(c, 'x');
}

TEST_F(XmlNodeReadTest, NodeValueIsTheTextBelowTheElement) {
    BindRoot("<e>a<!--no--><b>\xC3\xA9</b>&lt;</e>");
    std::string text;
    EXPECT_EQ(probe.GetNodeValue(&text), S_OK);
    EXPECT_EQ(text, "a\xE9<");
    BindRoot("<e/>");
    text = "old";
    EXPECT_EQ(probe.GetNodeValue(&text), S_OK);
    EXPECT_EQ(text, "");
}

TEST_F(XmlNodeReadTest, FindChildElementStatuses) {
    BindRoot("<e>\n<!--c--><d>1</d><c n='first'/><c n='second'/><x><c/></x></e>");
    EXPECT_EQ(probe.FindChildElement("c", nullptr), E_POINTER);
    DomNode child;
    EXPECT_EQ(probe.FindChildElement("c", &child), S_OK);
    Variant value;
    EXPECT_EQ(probe.GetAttributeOn(child, "n", VT_BSTR, &value), S_OK);
    EXPECT_EQ(value.bstrVal, u"first");
    for (const char* missing : {"C", "#comment", "#text", "e", "y"}) {
        DomNode held = child;
        EXPECT_EQ(probe.FindChildElement(missing, &held), E_FAIL) << missing;
        EXPECT_FALSE(held) << missing;
    }
    BindRoot("<e/>");
    EXPECT_EQ(probe.FindChildElement("c", &child), E_FAIL);
}

TEST_F(XmlNodeReadTest, ChildIntAttributeStatuses) {
    BindRoot("<e><h x='3' y='q'/><h x='4' z='1'/></e>");
    std::int32_t value = 99;
    EXPECT_EQ(probe.GetChildIntAttribute("h", "x", &value), S_OK);
    EXPECT_EQ(value, 3);
    value = 99;
    EXPECT_EQ(probe.GetChildIntAttribute("h", "y", &value), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(probe.GetChildIntAttribute("h", "z", &value), S_FALSE);
    EXPECT_EQ(probe.GetChildIntAttribute("g", "x", &value), E_FAIL);
    EXPECT_EQ(value, 99);
}

// Counts the Load calls it receives.
class Counter : public XmlNode {
public:
    HRESULT Load(const DomNode&) override {
        ++loads;
        return E_FAIL;
    }
    HRESULT Save(const DomNode&) override { return S_OK; }
    int loads = 0;
};

TEST_F(XmlNodeReadTest, LoadChildrenReadsEveryMatchAndStaysOnTheLast) {
    BindRoot("<e><c n='1'/><d/><c n='2'/></e>");
    probe.SetLevel(3);
    Counter counter;
    probe.LoadChildren("c", counter);
    EXPECT_EQ(counter.loads, 2);
    EXPECT_EQ(counter.level, 4);
    Variant value;
    EXPECT_EQ(counter.GetAttribute("n", VT_BSTR, &value), S_OK);
    EXPECT_EQ(value.bstrVal, u"2");

    Counter untouched;
    probe.LoadChildren("x", untouched);
    EXPECT_EQ(untouched.loads, 0);
    EXPECT_FALSE(untouched.element);
}

}  // namespace

}  // namespace dravonix
