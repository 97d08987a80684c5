// Helpers shared by the tests of the XML writer.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dom/dom.h"
#include "model/key_definition.h"
#include "testing/com_test.h"
#include "xml/xml_node.h"

namespace dravonix {

/// A root object that writes one object as the document element, the way
/// the keyboard root writes "keydef".
class TestRoot : public XmlNode {
public:
    TestRoot(std::string_view name, XmlNode& object) : name_(name), object_(&object) {}
    HRESULT Load(const DomNode& /*node*/) override { return S_OK; }
    HRESULT Save(const DomNode& /*node*/) override { return SaveChild(name_, *object_); }

private:
    std::string_view name_;
    XmlNode* object_;
};

/// A new empty document; fails the test when none can be created.
inline DomDocument NewDocument() {
    DomDocument document;
    EXPECT_EQ(CreateDomDocument(&document), S_OK);
    return document;
}

/// The serialized document.
inline std::string Serialized(const DomDocument& document) {
    std::string text;
    EXPECT_EQ(document.SaveToString(&text), S_OK);
    return text;
}

/// Saves object as the document element of a new document and returns the
/// text of the document.
inline std::string SaveAsRoot(std::string_view name, XmlNode& object) {
    DomDocument document = NewDocument();
    TestRoot root(name, object);
    EXPECT_EQ(root.Bind(document), S_FALSE);
    EXPECT_EQ(root.Save(document), S_OK);
    return Serialized(document);
}

/// A test object that writes integer attributes, then its children, and then
// reports a chosen status.
class TestElement : public XmlNode {
public:
    HRESULT Load(const DomNode& /*node*/) override { return S_OK; }
    HRESULT Save(const DomNode& /*node*/) override {
        // Like the model classes, it writes what it can and reports its own result.
        for (const auto& [name, value] : ints) (void)SetIntAttribute(name, value);
        for (auto& [name, child] : children) (void)SaveChild(name, *child);
        return result;
    }

    std::vector<std::pair<std::string, std::int32_t>> ints;
    std::vector<std::pair<std::string, TestElement*>> children;
    HRESULT result = S_OK;
};

/// A key in the style of the legacy reader: a letter key with a polygon outline.
inline Key LetterKey() {
    Key key;
    key.type = 1;
    key.vkey = 65;
    key.character = 'a';
    key.shape.polygon.push_back({{{10, 20}, {30, 40}}, "", ""});
    return key;
}

/// One panel with one sound, one key with a polygon and one macro typing 'x'.
inline void FillWorkedExample(KeyDefinition& keydef) {
    keydef.name = "Demo";
    SubKeyDefinition panel;
    panel.name = "800";
    panel.type = "big";
    panel.sounds.emplace(1, "click.wav");
    panel.nonshiftkeys.key.push_back(LetterKey());
    Macro macro;
    macro.mkey.push_back({-1, -1, 'x'});
    panel.nonshiftkeys.macro.push_back(macro);
    keydef.subkeydef.push_back(panel);
}

/// The text of the worked example: 26 lines.
inline constexpr char kWorkedExample[] =
    "<keydef name=\"Demo\">\n"
    "\t<subkeydef name=\"800\" type=\"big\" language=\"-1\" forcewinkeyboard=\"false\" "
    "docked=\"true\">\n"
    "\t\t<hotspot x=\"0\" y=\"0\"/>\n"
    "\t\t<dockrect x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\"/>\n"
    "\t\t<sound id=\"1\">click.wav</sound>\n"
    "\t\t<dockbackground/>\n"
    "\t\t<shape/>\n"
    "\t\t<nondragarea/>\n"
    "\t\t<nonshiftkeys>\n"
    "\t\t\t<key type=\"1\" vkey=\"65\" char=\"a\">\n"
    "\t\t\t\t<shape>\n"
    "\t\t\t\t\t<polygon>\n"
    "\t\t\t\t\t\t<point x=\"10\" y=\"20\"/>\n"
    "\t\t\t\t\t\t<point x=\"30\" y=\"40\"/>\n"
    "\t\t\t\t\t</polygon>\n"
    "\t\t\t\t</shape>\n"
    "\t\t\t</key>\n"
    "\t\t\t<macro>\n"
    "\t\t\t\t<shape/>\n"
    "\t\t\t\t<mkey char=\"x\"/>\n"
    "\t\t\t</macro>\n"
    "\t\t</nonshiftkeys>\n"
    "\t\t<keyswithoutshift/>\n"
    "\t\t<keyswithshift/>\n"
    "\t</subkeydef>\n"
    "</keydef>";

}  // namespace dravonix
