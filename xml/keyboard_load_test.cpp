// Reading XML keyboard files into the model: the Load of every class and
// list binding, and LoadKeyboardFile / LoadKeyboardMemory.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "dom/xml_parse.h"
#include "model/key_definition.h"
#include "testing/com_test.h"
#include "testing/test_util.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

using KeyboardLoadTest = ComTest;

// Parses xml, binds object to its root element and reads it.
template <class T>
HRESULT LoadRoot(std::string_view xml, T& object) {
    DomDocument parsed;
    HRESULT status = ParseXmlMemory(xml, &parsed);
    EXPECT_EQ(status, S_OK) << xml;
    DomNode root;
    EXPECT_EQ(parsed.get_firstChild(&root), S_OK);
    EXPECT_EQ(object.Bind(root), S_OK);
    return object.Load(root);
}

// Reads a whole document into document through its document node.
HRESULT LoadDocument(std::string_view xml, KeyDefDocument& document) {
    DomDocument parsed;
    EXPECT_EQ(ParseXmlMemory(xml, &parsed), S_OK) << xml;
    EXPECT_EQ(document.Bind(parsed), S_FALSE);
    return document.Load(parsed);
}

TEST_F(KeyboardLoadTest, RootOtherThanKeydefLeavesModelUntouched) {
    for (std::string_view xml :
         {"<Keydef name='n'><subkeydef/></Keydef>", "<KEYDEF name='n'><subkeydef/></KEYDEF>",
          "<keyboard name='n'><subkeydef/></keyboard>"}) {
        KeyDefDocument document;
        document.keydef.name = "old";
        EXPECT_EQ(LoadDocument(xml, document), S_OK) << xml;
        EXPECT_EQ(document.keydef.name, "old") << xml;
        EXPECT_TRUE(document.keydef.subkeydef.empty()) << xml;

        KeyDefDocument untouched;
        EXPECT_EQ(LoadKeyboardMemory(xml, untouched), KeyboardLoad::kNotKeyboard) << xml;
        EXPECT_FALSE(untouched.element) << xml;
    }
}

TEST_F(KeyboardLoadTest, UnreadableInputLeavesModelUntouched) {
    for (std::string_view xml : {"", "<keydef name='n'>", "<keydef name='n'></Keydef>",
                                 "<keydef/><keydef/>", "<keydef name='&undeclared;'/>"}) {
        KeyDefDocument document;
        document.keydef.name = "old";
        EXPECT_EQ(LoadKeyboardMemory(xml, document), KeyboardLoad::kUnreadable) << xml;
        EXPECT_EQ(document.keydef.name, "old");
        EXPECT_FALSE(document.element);
    }
    KeyDefDocument document;
    EXPECT_EQ(LoadKeyboardFile("/nonexistent/dir/kb.xml", document), KeyboardLoad::kUnreadable);
    EXPECT_EQ(LoadKeyboardFile("/", document), KeyboardLoad::kUnreadable);
}

TEST_F(KeyboardLoadTest, FileIsReadIntoTheModel) {
    ScratchDir dir;
    const std::string path = dir / "kb.xml";
    WriteFile(path,
              "<?xml version='1.0'?>\n<!-- a comment -->\n<keydef name='Main'>\n"
              "\t<subkeydef name='800' type='big'/>\n\t<subkeydef name='1024'/>\n</keydef>\n");

    KeyDefDocument document;
    EXPECT_EQ(LoadKeyboardFile(path, document), KeyboardLoad::kLoaded);
    EXPECT_EQ(document.keydef.name, "Main");
    ASSERT_EQ(document.keydef.subkeydef.size(), 2u);
    EXPECT_EQ(document.keydef.subkeydef[0].name, "800");
    EXPECT_EQ(document.keydef.subkeydef[0].type, "big");
    EXPECT_EQ(document.keydef.subkeydef[1].name, "1024");
    EXPECT_EQ(document.keydef.subkeydef[1].level, 2);
}

TEST_F(KeyboardLoadTest, ReadingTwiceAppendsEveryPanelAgain) {
    std::string_view xml = "<keydef><subkeydef name='a'/><subkeydef name='b'/></keydef>";
    KeyDefDocument document;
    ASSERT_EQ(LoadKeyboardMemory(xml, document), KeyboardLoad::kLoaded);
    ASSERT_EQ(LoadKeyboardMemory(xml, document), KeyboardLoad::kLoaded);
    ASSERT_EQ(document.keydef.subkeydef.size(), 4u);
    const char* expected[] = {"a", "b", "a", "b"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(document.keydef.subkeydef[i].name, expected[i]);
}

TEST_F(KeyboardLoadTest, NamesAreCaseSensitiveAndOnlyElementsMatch) {
    KeyList list;
    LoadRoot(
        "<keyswithshift xmlns:k='urn:k'><Key vkey='1'/><?key vkey='2'?><k:key vkey='3'/>"
        "<key VKEY='4' vkey='5'/></keyswithshift>",
        list);
    ASSERT_EQ(list.key.size(), 1u);
    EXPECT_EQ(list.key[0].vkey, 5);

    SubKeyDefinition panel;
    LoadRoot("<subkeydef Docked='true' Name='x'><Hotspot x='4'/></subkeydef>", panel);
    EXPECT_FALSE(panel.docked);
    EXPECT_EQ(panel.name, "");
    EXPECT_EQ(panel.hotspot.x, 0);
}

TEST_F(KeyboardLoadTest, KeyThatFailsIsDroppedAndNeighboursLoadInOrder) {
    KeyGroup group;
    LoadRoot(
        "<nonshiftkeys><key vkey='1'/><key sound='7' type='2' vkey='x'/><key vkey='3'/>"
        "<key language='99999999999'/><key char='q' target='t' vkey='5'><shape mode='m'/></key>"
        "</nonshiftkeys>",
        group);
    ASSERT_EQ(group.key.size(), 3u);
    EXPECT_EQ(group.key[0].vkey, 1);
    EXPECT_EQ(group.key[1].vkey, 3);
    EXPECT_EQ(group.key[2].vkey, 5);
    EXPECT_EQ(group.key[2].character, 'q');
    EXPECT_EQ(group.key[2].target, "t");
    EXPECT_EQ(group.key[2].shape.mode, "m");
    EXPECT_EQ(group.key[2].level, 1);
}

TEST_F(KeyboardLoadTest, KeyCharTakesFirstByteAndEmptyLeavesZero) {
    struct Case {
        std::string_view xml;
        char expected;
    } cases[] = {
        {"<key char='abc'/>", 'a'},          {"<key char=''/>", 0}, {"<key/>", 0},
        {"<key char='\xC3\xA9'/>", '\xE9'},   // U+00E9 in UTF-8: byte 0xE9 of the code page
        {"<key char='\xE4\xB8\x80'/>", '?'},  // no byte in the code page
    };
    for (const Case& c : cases) {
        Key key;
        EXPECT_EQ(LoadRoot(c.xml, key), S_OK) << c.xml;
        EXPECT_EQ(key.character, c.expected) << c.xml;
    }
}

TEST_F(KeyboardLoadTest, ShapeRecordsStartFromTheirDefaults) {
    KeyShape shape;
    LoadRoot(
        "<shape><rect/><polygon polymode='p' mode='m'><point x='5'/><point y='6'/>"
        "<point x='z'/></polygon><rect x1='1' y1='2' x2='3' y2='4' mode='r'/>"
        "<rect x2='bad'/><ellipse x1='-1'/><roundrect widthellipse='8' heightellipse='9'/>"
        "<other/></shape>",
        shape);
    ASSERT_EQ(shape.rect.size(), 2u);
    EXPECT_EQ(shape.rect[0], (RectRecord{0, 0, 0, 0, ""}));
    EXPECT_EQ(shape.rect[1], (RectRecord{1, 2, 3, 4, "r"}));
    ASSERT_EQ(shape.polygon.size(), 1u);
    EXPECT_EQ(shape.polygon[0].polymode, "p");
    EXPECT_EQ(shape.polygon[0].mode, "m");
    ASSERT_EQ(shape.polygon[0].point.size(), 2u);
    EXPECT_EQ(shape.polygon[0].point[0], (PointRecord{5, -1}));
    EXPECT_EQ(shape.polygon[0].point[1], (PointRecord{-1, 6}));
    ASSERT_EQ(shape.ellipse.size(), 1u);
    EXPECT_EQ(shape.ellipse[0], (EllipseRecord{-1, 0, 0, 0, ""}));
    ASSERT_EQ(shape.roundrect.size(), 1u);
    EXPECT_EQ(shape.roundrect[0], (RoundRectRecord{0, 0, 0, 0, 8, 9, ""}));
}

TEST_F(KeyboardLoadTest, SeveralShapeChildrenAccumulateIntoOneShape) {
    Key key;
    LoadRoot("<key><shape mode='a'><rect/></shape><shape><ellipse/><rect/></shape></key>", key);
    EXPECT_EQ(key.shape.mode, "a");
    EXPECT_EQ(key.shape.rect.size(), 2u);
    EXPECT_EQ(key.shape.ellipse.size(), 1u);
    EXPECT_TRUE(key.shape.polygon.empty());

    Key later;
    LoadRoot("<key><shape mode='a'/><shape mode='b'/></key>", later);
    EXPECT_EQ(later.shape.mode, "b");
}

TEST_F(KeyboardLoadTest, PanelResetsGeometryLanguageAndDocking) {
    SubKeyDefinition panel;
    panel.language = 7;
    panel.dockrect = {1, 2, 3, 4};
    panel.hotspot = {5, 6};
    ASSERT_TRUE(panel.docked);
    EXPECT_EQ(LoadRoot("<subkeydef name='p' forcewinkeyboard='true'/>", panel), S_OK);
    EXPECT_FALSE(panel.docked);
    EXPECT_EQ(panel.language, -1);
    EXPECT_EQ(panel.dockrect, DockRect{});
    EXPECT_EQ(panel.hotspot, HotSpot{});
    EXPECT_TRUE(panel.forcewinkeyboard);

    SubKeyDefinition full;
    LoadRoot(
        "<subkeydef name='n' type='big' language='1033' docked='1' forcewinkeyboard='false'>"
        "<hotspot x='1'/><hotspot x='8' y='9'/>"
        "<dockrect x1='1' y1='2' x2='3' y2='4'/><dockrect x1='9'/>"
        "<language id='5' target='a'/><language id='5' target='b'/><language/></subkeydef>",
        full);
    EXPECT_TRUE(full.docked);
    EXPECT_EQ(full.language, 1033);
    EXPECT_EQ(full.hotspot, (HotSpot{1, 0}));
    EXPECT_EQ(full.dockrect, (DockRect{1, 2, 3, 4}));
    ASSERT_EQ(full.languages.size(), 3u);
    EXPECT_EQ(full.languages[1].target, "b");
    EXPECT_EQ(full.languages[2].id, -1);
}

TEST_F(KeyboardLoadTest, JpegTypeRules) {
    SubKeyDefinition panel;
    LoadRoot(
        "<subkeydef><jpeg type='Normal'>N</jpeg><jpeg>none</jpeg><jpeg type='normal'>a.jpg"
        "</jpeg><jpeg type='pressed'>p.jpg</jpeg><jpeg type='normal'>b<!--c-->.jpg</jpeg>"
        "</subkeydef>",
        panel);
    EXPECT_EQ(panel.jpegnormal, "b.jpg");
    EXPECT_EQ(panel.jpegpressed, "p.jpg");
}

TEST_F(KeyboardLoadTest, SoundTableKeepsFirstOfAnIdAndSkipsElementsWithoutId) {
    SubKeyDefinition panel;
    LoadRoot(
        "<subkeydef><sound id='2'>first.wav</sound><sound id='2'>second.wav</sound>"
        "<sound>noid.wav</sound><sound id='x'>bad.wav</sound><sound id='-1'>a&amp;b</sound>"
        "<sound id='3'/></subkeydef>",
        panel);
    SoundTable expected = {{-1, "a&b"}, {2, "first.wav"}, {3, ""}};
    EXPECT_EQ(panel.sounds, expected);
}

TEST_F(KeyboardLoadTest, ReadingAPanelTwiceDoublesListsButNotSounds) {
    std::string_view xml =
        "<subkeydef><language id='1'/><sound id='1'>a</sound><shape><rect/></shape>"
        "<nonshiftkeys><key/><macro/></nonshiftkeys><keyswithshift><key/></keyswithshift>"
        "</subkeydef>";
    SubKeyDefinition panel;
    LoadRoot(xml, panel);
    LoadRoot(xml, panel);
    EXPECT_EQ(panel.languages.size(), 2u);
    EXPECT_EQ(panel.sounds.size(), 1u);
    EXPECT_EQ(panel.shape.rect.size(), 2u);
    EXPECT_EQ(panel.nonshiftkeys.key.size(), 2u);
    EXPECT_EQ(panel.nonshiftkeys.macro.size(), 2u);
    EXPECT_EQ(panel.keyswithshift.key.size(), 2u);
    EXPECT_TRUE(panel.keyswithoutshift.key.empty());
}

TEST_F(KeyboardLoadTest, StrokeStateIsReadFromPressedThenPress) {
    struct Case {
        std::string_view xml;
        bool added;
        MacroKey expected;
    } cases[] = {
        {"<mkey vkey='65' pressed='1' char=''/>", true, {65, 1, 0}},
        {"<mkey vkey='65' press='0'/>", true, {65, 0, 0}},
        {"<mkey pressed='1' press='0'/>", true, {-1, 1, 0}},
        {"<mkey char='x'/>", true, {-1, -1, 'x'}},
        {"<mkey vkey='65' pressed='x' press='1'/>", false, {}},
        {"<mkey press='x'/>", false, {}},
        {"<mkey vkey='x' pressed='1'/>", false, {}},
    };
    for (const Case& c : cases) {
        Macro macro;
        std::string xml = "<macro>" + std::string(c.xml) + "</macro>";
        LoadRoot(xml, macro);
        ASSERT_EQ(macro.mkey.size(), c.added ? 1u : 0u) << c.xml;
        if (c.added) {
            EXPECT_EQ(macro.mkey[0], c.expected) << c.xml;
        }
    }
}

TEST_F(KeyboardLoadTest, MacroWithBadSoundIsKeptWhereAKeyIsDropped) {
    KeyGroup group;
    LoadRoot(
        "<nonshiftkeys><key sound='x'/><macro sound='x'><shape><rect/></shape>"
        "<mkey char='a'/><mkey char='b'/></macro><macro sound='4'/></nonshiftkeys>",
        group);
    EXPECT_TRUE(group.key.empty());
    ASSERT_EQ(group.macro.size(), 2u);
    EXPECT_EQ(group.macro[0].sound, -1);
    EXPECT_EQ(group.macro[0].shape.rect.size(), 1u);
    ASSERT_EQ(group.macro[0].mkey.size(), 2u);
    EXPECT_EQ(group.macro[0].mkey[1].character, 'b');
    EXPECT_EQ(group.macro[1].sound, 4);
}

TEST_F(KeyboardLoadTest, DockBackgroundReadsOnlyTheMembersOfItsType) {
    ImageSource image;
    image.color = 77;
    image.filename = "keep";
    EXPECT_EQ(LoadRoot("<dockbackground type='1' filename='f'/>", image), S_OK);
    EXPECT_EQ(image.type, 1);
    EXPECT_EQ(image.color, 77);
    EXPECT_EQ(image.filename, "keep");

    ImageSource other;
    EXPECT_EQ(LoadRoot("<dockbackground type='5' color='3' resourceid='4'/>", other), S_OK);
    EXPECT_EQ(other.type, 5);
    EXPECT_EQ(other.color, 0);
    EXPECT_EQ(other.resourceid, 0);

    ImageSource resource;
    EXPECT_EQ(LoadRoot("<dockbackground type='3' resourceid='x' resourcetype='r'/>", resource),
              DISP_E_TYPEMISMATCH);
    EXPECT_EQ(resource.resourcetype, "");
    ImageSource file;
    EXPECT_EQ(LoadRoot("<dockbackground type='2' filename=''/>", file), S_OK);
    EXPECT_EQ(file.filename, "");

    // A type that does not convert keeps the type held before.
    ImageSource kept;
    kept.type = 1;
    EXPECT_EQ(LoadRoot("<dockbackground type='one' color='9'/>", kept), S_OK);
    EXPECT_EQ(kept.color, 9);
}

}  // namespace

}  // namespace dravonix
