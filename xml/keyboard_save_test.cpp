// Tests of the Save of every model class and list binding: element order,
// attribute order and the conditions under which each is written.
#include <gtest/gtest.h>

#include <string>

#include "dom/xml_parse.h"
#include "model/key_definition.h"
#include "testing/save_test_util.h"

namespace dravonix {

namespace {

using KeyboardSaveTest = ComTest;

// Saves the whole document of root into a new DOM document and returns its text.
std::string SaveDocument(KeyDefDocument& root) {
    DomDocument document = NewDocument();
    EXPECT_EQ(root.Bind(document), S_FALSE);
    EXPECT_EQ(root.Save(document), S_OK);
    return Serialized(document);
}

// A panel saved as the document element: its children are at depth 1.
std::string SavePanel(SubKeyDefinition& panel) { return SaveAsRoot("subkeydef", panel); }

TEST_F(KeyboardSaveTest, WorkedExampleIsWrittenByteForByte) {
    KeyDefDocument root;
    FillWorkedExample(root.keydef);
    EXPECT_EQ(SaveDocument(root), kWorkedExample);
    // Every object written stays bound to its element at its level.
    const Key& key = root.keydef.subkeydef[0].nonshiftkeys.key[0];
    EXPECT_TRUE(static_cast<bool>(key.element));
    EXPECT_EQ(key.level, 4);  // the level of the elements it creates
    EXPECT_EQ(key.shape.level, 5);
}

TEST_F(KeyboardSaveTest, EmptyModelIsOneElementOnOneLine) {
    KeyDefDocument root;
    EXPECT_EQ(SaveDocument(root), "<keydef name=\"\"/>");
}

TEST_F(KeyboardSaveTest, DefaultPanelWritesItsFixedChildren) {
    SubKeyDefinition panel;
    EXPECT_EQ(SavePanel(panel),
              "<subkeydef name=\"\" type=\"\" language=\"-1\" forcewinkeyboard=\"false\" "
              "docked=\"true\">\n"
              "\t<hotspot x=\"0\" y=\"0\"/>\n"
              "\t<dockrect x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\"/>\n"
              "\t<dockbackground/>\n"
              "\t<shape/>\n"
              "\t<nondragarea/>\n"
              "\t<nonshiftkeys/>\n"
              "\t<keyswithoutshift/>\n"
              "\t<keyswithshift/>\n"
              "</subkeydef>");
}

TEST_F(KeyboardSaveTest, PanelWritesEveryPartInOrder) {
    SubKeyDefinition panel;
    panel.name = "p";
    panel.type = "small";
    panel.language = 1031;
    panel.docked = false;
    panel.forcewinkeyboard = true;
    panel.hotspot = {-5, 6};
    panel.dockrect = {1, 2, 3, 4};
    panel.jpegnormal = "n.jpg";
    panel.jpegpressed = "p.jpg";
    panel.languages.push_back({});
    panel.languages.back().id = 7;
    panel.languages.back().target = "de";
    panel.sounds = {{3, "c.wav"}, {1, "a.wav"}, {2, ""}, {-3, "m.wav"}};
    panel.dockbackground.type = 1;
    panel.dockbackground.color = 255;
    panel.shape.mode = "m";
    panel.keyswithoutshift.key.emplace_back();
    panel.keyswithshift.key.emplace_back();
    EXPECT_EQ(SavePanel(panel),
              "<subkeydef name=\"p\" type=\"small\" language=\"1031\" forcewinkeyboard=\"true\" "
              "docked=\"false\">\n"
              "\t<hotspot x=\"-5\" y=\"6\"/>\n"
              "\t<dockrect x1=\"1\" y1=\"2\" x2=\"3\" y2=\"4\"/>\n"
              "\t<language id=\"7\" target=\"de\"/>\n"
              "\t<jpeg type=\"normal\">n.jpg</jpeg>\n"
              "\t<jpeg type=\"pressed\">p.jpg</jpeg>\n"
              "\t<sound id=\"-3\">m.wav</sound>\n"
              "\t<sound id=\"1\">a.wav</sound>\n"
              "\t<sound id=\"3\">c.wav</sound>\n"
              "\t<dockbackground type=\"1\" color=\"255\"/>\n"
              "\t<shape mode=\"m\"/>\n"
              "\t<nondragarea/>\n"
              "\t<nonshiftkeys/>\n"
              "\t<keyswithoutshift>\n\t\t<key>\n\t\t\t<shape/>\n\t\t</key>\n\t</keyswithoutshift>\n"
              "\t<keyswithshift>\n\t\t<key>\n\t\t\t<shape/>\n\t\t</key>\n\t</keyswithshift>\n"
              "</subkeydef>");
}

TEST_F(KeyboardSaveTest, OnlyTheSetImageIsWritten) {
    SubKeyDefinition panel;
    panel.jpegpressed = "p.jpg";
    EXPECT_NE(SavePanel(panel).find("\t<dockrect x1=\"0\" y1=\"0\" x2=\"0\" y2=\"0\"/>\n"
                                    "\t<jpeg type=\"pressed\">p.jpg</jpeg>\n\t<dockbackground/>"),
              std::string::npos);
}

TEST_F(KeyboardSaveTest, ImageSourceWritesTheMembersOfItsType) {
    struct Case {
        std::int32_t type;
        const char* expected;
    };
    const Case cases[] = {
        {0, "<dockbackground/>"},
        {1, "<dockbackground type=\"1\" color=\"-1\"/>"},
        {2, "<dockbackground type=\"2\" filename=\"\"/>"},
        {3, "<dockbackground type=\"3\" resourceid=\"9\" resourcetype=\"RT\"/>"},
        {7, "<dockbackground type=\"7\"/>"},
        {-1, "<dockbackground type=\"-1\"/>"},
    };
    for (const Case& c : cases) {
        ImageSource source;
        source.type = c.type;
        source.color = -1;
        source.resourceid = 9;
        source.resourcetype = "RT";
        EXPECT_EQ(SaveAsRoot("dockbackground", source), c.expected) << "type " << c.type;
    }
    ImageSource file;
    file.type = 2;
    file.filename = "b\xE4r.bmp";
    EXPECT_EQ(SaveAsRoot("dockbackground", file),
              "<dockbackground type=\"2\" filename=\"b\xC3\xA4r.bmp\"/>");
}

TEST_F(KeyboardSaveTest, DefaultKeyIsAnEmptyShapeWithClosingIndentation) {
    Key key;
    EXPECT_EQ(SaveAsRoot("key", key), "<key>\n\t<shape/>\n</key>");
}

TEST_F(KeyboardSaveTest, KeyAttributesFollowTheirOrderAndConditions) {
    Key key;
    key.sound = 0;
    key.type = 16;
    key.vkey = 0;
    key.character = '\xE9';
    key.target = "notepad.exe";
    key.language = 0;
    EXPECT_EQ(SaveAsRoot("key", key),
              "<key sound=\"0\" type=\"16\" vkey=\"0\" char=\"\xC3\xA9\" target=\"notepad.exe\" "
              "language=\"0\">\n\t<shape/>\n</key>");
    Key euro;
    euro.character = '\x80';
    EXPECT_EQ(SaveAsRoot("key", euro), "<key char=\"\xE2\x82\xAC\">\n\t<shape/>\n</key>");
}

TEST_F(KeyboardSaveTest, MacroStrokesAlwaysCarryTheirCharacter) {
    Macro macro;
    macro.sound = 4;
    macro.mkey.push_back({-1, -1, 'x'});     // a character
    macro.mkey.push_back({16, 1, '\0'});     // a virtual key: empty "char"
    macro.mkey.push_back({-1, -1, '\xFF'});  // the byte 255 is kept
    macro.mkey.push_back({-1, 0, '\0'});
    EXPECT_EQ(SaveAsRoot("macro", macro),
              "<macro sound=\"4\">\n"
              "\t<shape/>\n"
              "\t<mkey char=\"x\"/>\n"
              "\t<mkey vkey=\"16\" pressed=\"1\" char=\"\"/>\n"
              "\t<mkey char=\"\xC3\xBF\"/>\n"
              "\t<mkey pressed=\"0\" char=\"\"/>\n"
              "</macro>");
}

TEST_F(KeyboardSaveTest, ShapeWritesEachKindInItsOwnOrder) {
    KeyShape shape;
    shape.polygon.push_back({{}, "alternate", "or"});
    shape.rect.push_back({-1, 0, 5, 6, ""});
    shape.roundrect.push_back({1, 2, 3, 4, 5, 6, "xor"});
    shape.ellipse.push_back({1, 2, 3, 4, "and"});
    shape.rect.push_back({7, 8, 9, 10, "copy"});
    EXPECT_EQ(SaveAsRoot("shape", shape),
              "<shape>\n"
              "\t<rect x1=\"-1\" y1=\"0\" x2=\"5\" y2=\"6\"/>\n"
              "\t<rect x1=\"7\" y1=\"8\" x2=\"9\" y2=\"10\" mode=\"copy\"/>\n"
              "\t<ellipse x1=\"1\" y1=\"2\" x2=\"3\" y2=\"4\" mode=\"and\"/>\n"
              "\t<roundrect x1=\"1\" y1=\"2\" x2=\"3\" y2=\"4\" widthellipse=\"5\" "
              "heightellipse=\"6\" mode=\"xor\"/>\n"
              "\t<polygon mode=\"or\" polymode=\"alternate\"/>\n"
              "</shape>");
}

TEST_F(KeyboardSaveTest, PolygonPointsLeaveOutUnsetCoordinates) {
    KeyShape shape;
    shape.polygon.push_back({{{-1, 2}, {3, -1}, {-1, -1}, {0, 0}}, "winding", ""});
    shape.polygon.push_back({{{1, 1}}, "", ""});
    EXPECT_EQ(SaveAsRoot("shape", shape),
              "<shape>\n"
              "\t<polygon polymode=\"winding\">\n"
              "\t\t<point y=\"2\"/>\n"
              "\t\t<point x=\"3\"/>\n"
              "\t\t<point/>\n"
              "\t\t<point x=\"0\" y=\"0\"/>\n"
              "\t</polygon>\n"
              "\t<polygon>\n"
              "\t\t<point x=\"1\" y=\"1\"/>\n"
              "\t</polygon>\n"
              "</shape>");
}

TEST_F(KeyboardSaveTest, KeyGroupWritesKeysThenMacros) {
    KeyGroup group;
    group.macro.emplace_back();
    group.key.emplace_back();
    group.key.back().vkey = 1;
    EXPECT_EQ(SaveAsRoot("nonshiftkeys", group),
              "<nonshiftkeys>\n"
              "\t<key vkey=\"1\">\n\t\t<shape/>\n\t</key>\n"
              "\t<macro>\n\t\t<shape/>\n\t</macro>\n"
              "</nonshiftkeys>");
}

// Binds key to a new "key" element of a fresh document and lets the document
// hold only `room` more nodes before saving it.
HRESULT SaveKeyWithRoom(Key& key, std::size_t room, std::string* text) {
    DomDocument document = NewDocument();
    Key holder;  // any bound object can create the element
    EXPECT_EQ(holder.Bind(document), S_FALSE);
    DomNode element;
    EXPECT_EQ(holder.CreateChildElement("key", &element), S_OK);
    key.SetLevel(1);
    EXPECT_EQ(key.Bind(element), S_OK);
    document.SetNodeLimit(2 + room);  // the document and the "key" element
    HRESULT status = key.Save(element);
    *text = Serialized(document);
    return status;
}

TEST_F(KeyboardSaveTest, KeyStopsAtItsFirstFailure) {
    Key key;
    key.sound = 1;
    key.type = 2;
    key.vkey = 3;
    std::string text;
    EXPECT_EQ(SaveKeyWithRoom(key, 1, &text), E_OUTOFMEMORY);
    EXPECT_EQ(text, "<key sound=\"1\"/>");
    // The attributes fit but the shape element does not: nothing after it.
    EXPECT_EQ(SaveKeyWithRoom(key, 4, &text), E_OUTOFMEMORY);
    EXPECT_EQ(text, "<key sound=\"1\" type=\"2\" vkey=\"3\">\n\t</key>");
    EXPECT_EQ(SaveKeyWithRoom(key, 5, &text), S_OK);
    EXPECT_EQ(text, "<key sound=\"1\" type=\"2\" vkey=\"3\">\n\t<shape/></key>");
}

TEST_F(KeyboardSaveTest, FailingKeyEndsTheKeyList) {
    KeyGroup group;
    group.key.resize(3);
    group.macro.resize(1);
    DomDocument document = NewDocument();
    TestRoot root("nonshiftkeys", group);
    EXPECT_EQ(root.Bind(document), S_FALSE);
    // Document, group, then per key: text, key, text, shape, text = 5 nodes.
    // The second key gets its element and indentation but not its shape.
    document.SetNodeLimit(2 + 5 + 3);
    EXPECT_EQ(root.Save(document), S_OK);
    EXPECT_EQ(Serialized(document),
              "<nonshiftkeys>\n"
              "\t<key>\n\t\t<shape/>\n\t</key>\n"
              "\t<key>\n\t\t</key></nonshiftkeys>");
    EXPECT_FALSE(static_cast<bool>(group.key[2].element));
}

TEST_F(KeyboardSaveTest, ListBindingsSkipEntriesTheDomCannotCreate) {
    // Whatever the point at which the DOM runs out of nodes, the root reports
    // success and the partial tree is well-formed.
    KeyDefDocument model;
    FillWorkedExample(model.keydef);
    model.keydef.subkeydef[0].jpegnormal = "n.jpg";
    model.keydef.subkeydef[0].languages.resize(2);
    model.keydef.subkeydef[0].sounds.emplace(2, "b.wav");
    model.keydef.subkeydef[0].shape.rect.resize(2);
    for (std::size_t limit = 1; limit < 120; ++limit) {
        DomDocument document = NewDocument();
        document.SetNodeLimit(limit);
        EXPECT_EQ(model.Bind(document), S_FALSE);
        EXPECT_EQ(model.Save(document), S_OK) << limit;
        std::string text;
        if (Failed(document.SaveToString(&text))) continue;  // no root element
        DomDocument parsed;
        EXPECT_EQ(ParseXmlMemory(text, &parsed), S_OK) << limit << ": " << text;
    }
}

}  // namespace

}  // namespace dravonix
