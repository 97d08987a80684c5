// Tests of the keyboard picture: virtual-key names and labels, the image
// lookup with Windows-style names, image sniffing and embedding, and the SVG
// document (one shape per outline, escaping, absurd coordinates, images).
#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "dom/xml_parse.h"
#include "platform/com.h"
#include "render/key_labels.h"
#include "render/keyboard_svg.h"
#include "render/panel_image.h"
#include "render/svg_geometry.h"
#include "testing/com_test.h"
#include "testing/memory_file_system.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

TEST(VirtualKeyName, NamesTheStandardKeys) {
    const std::vector<std::pair<std::int32_t, const char*>> cases = {
        {8, "Backspace"},    {9, "Tab"},          {13, "Enter"},
        {16, "Shift"},       {17, "Ctrl"},        {18, "Alt"},
        {27, "Esc"},         {32, "Space"},       {37, "Left"},
        {38, "Up"},          {39, "Right"},       {40, "Down"},
        {46, "Delete"},      {48, "0"},           {57, "9"},
        {65, "A"},           {90, "Z"},           {96, "Num 0"},
        {105, "Num 9"},      {107, "Num +"},      {112, "F1"},
        {123, "F12"},        {135, "F24"},        {144, "Num Lock"},
        {160, "Left Shift"}, {186, "OEM 1 (;:)"}, {136, "VK 136"},
        {58, "VK 58"},       {-5, "VK -5"},       {INT_MAX, "VK 2147483647"},
    };
    for (const auto& [code, name] : cases) EXPECT_EQ(VirtualKeyName(code), name) << code;
}

TEST(NumberText, KeepsWholeNumbersExactAndTinyScalesVisible) {
    const std::vector<std::pair<double, const char*>> cases = {
        {0, "0"},
        {-0.0, "0"},
        {2147483647, "2147483647"},
        {-4294967295.5, "-4294967295.5"},
        {12.3456, "12.346"},
        {0.5, "0.5"},
        {-0.25, "-0.25"},
        {1.0 / 1048576, "9.53674e-07"},  // the scale of a view 2^32 units across
        {std::numeric_limits<double>::quiet_NaN(), "0"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(NumberText(value), text) << value;
}

// Fractions from 1 on are written with three decimals exactly as the
// standard library rounds them: ties to even (1.0625 is 1062.5 thousandths),
// carries into the whole part, and values next to the ends of the fast way.
TEST(NumberText, RoundsThreeDecimalsAsTheStandardLibrary) {
    std::vector<double> values = {
        1.0625,        1.1875,       -1.0625,      2.9995,
        2.99951,       999.9996,     1.0004999,    std::nextafter(1.0, 2.0),
        0x1p30 - 0.25, 0x1p30 + 0.5, 1234567.0625, -7.5};
    std::uint64_t state = 42;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const double unit = static_cast<double>(state >> 11) / 9007199254740992.0;
        values.push_back((i % 2 == 0 ? 1 : -1) * std::ldexp(1 + unit, i % 32));
    }
    for (const double value : values) {
        char expected[64];
        auto end =
            std::to_chars(expected, expected + sizeof expected, value, std::chars_format::fixed, 3)
                .ptr;
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
        ASSERT_EQ(NumberText(value), std::string(expected, end)) << value;
    }
}

TEST(FitPicture, KeepsProportionsWithinTheLimit) {
    const std::vector<std::array<double, 4>> cases = {
        {100, 50, 100, 50}, {8192, 1024, 4096, 512}, {1024, 16384, 256, 4096},
        {0, 0, 1, 1},       {1e10, 1, 4096, 1},
    };
    for (const auto& c : cases) {
        const PictureSize size = FitPicture(c[0], c[1]);
        EXPECT_EQ(size.width, c[2]) << c[0] << " x " << c[1];
        EXPECT_EQ(size.height, c[3]) << c[0] << " x " << c[1];
    }
}

TEST(KeyLabel, ShowsVirtualKeyCharacterOrTarget) {
    struct Case {
        std::int32_t type, vkey;
        char character;
        const char* target;
        const char* label;
    };
    const Case cases[] = {
        {1, 8, 0, "", "Backspace"},
        {1, -1, 'a', "", "a"},
        {1, -1, ' ', "", "Space"},
        {1, -1, '\x07', "", "0x07"},
        {1, -1, '\x81', "", "0x81"},
        {1, -1, '\xE9', "", "\xC3\xA9"},
        {1, -1, '\x80', "", "\xE2\x82\xAC"},
        {16, -1, 0, "abc", "abc"},
        {16, -1, 0, "https://example.org", "https:/..."},
        {1, -1, 0, "", ""},
    };
    for (const Case& c : cases) {
        Key key;
        key.type = c.type;
        key.vkey = c.vkey;
        key.character = c.character;
        key.target = c.target;
        EXPECT_EQ(KeyLabel(key, CodePage()), c.label) << c.label;
    }
}

TEST(MacroDetails, ListsTheStrokes) {
    Macro macro;
    macro.sound = 3;
    macro.mkey = {{16, 1, 0}, {72, 1, 0}, {72, 0, 0}, {16, 0, 0}, {-1, -1, 'i'}};
    EXPECT_EQ(MacroDetails(macro, {{3, "macro start.wav"}}, CodePage()),
              "macro\nsound 3 (macro start.wav)\n5 strokes\nShift down\nH down\nH up\n"
              "Shift up\ntype i");
}

TEST(LoadPanelImage, ReadsOnlyPicturesInsideTheKeyboardsFolder) {
    MemoryFileSystem files;
    const std::string gif = "GIF89a\x02\0\x01\0";
    files.AddFile("/kbd/images/ok.gif", gif);
    files.AddFile("/kbd/images/notes.gif", "hello");
    files.AddFile("/kbd/images/huge.bmp", "BM" + std::string(kMaxImageBytes - 1, '\0'));
    files.AddFile("/kbd/images/fits.bmp", "BM" + std::string(kMaxImageBytes - 2, '\0'));
    files.AddOther("/kbd/images/pipe.gif");
    files.AddFile("/secret/s.gif", gif);
    files.AddFile("/kbd2/s.gif", gif);
    files.AddLink("/kbd/images/out.gif", "/secret/s.gif");
    files.AddLink("/kbd/images/sibling.gif", "../../kbd2/s.gif");
    files.AddLink("/kbd/images/inside.gif", "ok.gif");
    const std::pair<const char*, ImageProblem> cases[] = {
        {"images\\ok.gif", ImageProblem::kNone},
        {"images\\inside.gif", ImageProblem::kNone},
        {"images\\fits.bmp", ImageProblem::kNone},
        {"..\\secret\\s.gif", ImageProblem::kOutsideFolder},
        {"images\\..\\..\\secret\\s.gif", ImageProblem::kOutsideFolder},
        {"images\\out.gif", ImageProblem::kOutsideFolder},
        {"images\\sibling.gif", ImageProblem::kOutsideFolder},
        {"images\\pipe.gif", ImageProblem::kNotAFile},
        {"images\\huge.bmp", ImageProblem::kTooLarge},
        {"images\\notes.gif", ImageProblem::kNotAPicture},
        {"images\\gone.gif", ImageProblem::kNotFound},
    };
    for (const auto& [name, problem] : cases) {
        const PanelImage image = LoadPanelImage(files, "/kbd", name);
        EXPECT_EQ(image.problem, problem) << name;
        EXPECT_EQ(image.usable, problem == ImageProblem::kNone) << name;
    }
    EXPECT_EQ(ImageProblemText(ImageProblem::kOutsideFolder), "outside the keyboard's folder");
    EXPECT_EQ(ImageProblemText(ImageProblem::kTooLarge), "larger than 32 MiB");
}

TEST(SniffImage, TellsFormatAndSize) {
    struct Case {
        std::string bytes;
        const char* media_type;
        std::int64_t width, height;
    };
    const Case cases[] = {
        // JPEG: an APP0 segment, then a baseline frame of 288 x 64 (height first).
        {std::string("\xFF\xD8\xFF\xE0\x00\x04xx\xFF\xC0\x00\x11\x08\x00\x40\x01\x20", 17),
         "image/jpeg", 288, 64},
        {std::string("\xFF\xD8\xFF\xE0\x00\x04xx", 8), "image/jpeg", 0, 0},
        {std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x01\x90\0\0\0\xC8", 24), "image/png", 400,
         200},
        {std::string("GIF89a\x10\x00\x20\x00", 10), "image/gif", 16, 32},
        {std::string("BM") + std::string(16, '\0') + std::string("\x05\0\0\0\xFD\xFF\xFF\xFF", 8),
         "image/bmp", 5, 3},
        {"hello world", "", 0, 0},
        {"", "", 0, 0},
    };
    for (const Case& c : cases) {
        const ImageFormat format = SniffImage(c.bytes);
        EXPECT_EQ(format.media_type, c.media_type) << c.media_type;
        EXPECT_EQ(format.width, c.width) << c.media_type;
        EXPECT_EQ(format.height, c.height) << c.media_type;
    }
}

TEST(DataUri, EncodesBase64WithPadding) {
    EXPECT_EQ(DataUri("image/png", ""), "data:image/png;base64,");
    EXPECT_EQ(DataUri("image/png", "f"), "data:image/png;base64,Zg==");
    EXPECT_EQ(DataUri("image/png", "fo"), "data:image/png;base64,Zm8=");
    EXPECT_EQ(DataUri("image/gif", "foobar"), "data:image/gif;base64,Zm9vYmFy");
    EXPECT_EQ(DataUri("image/bmp", std::string_view("\xFF\xFE\xFD\x00", 4)),
              "data:image/bmp;base64,//79AA==");
}

class KeyboardSvgTest : public ComTest {
protected:
    /// The SVG text of keyboard, with images looked up in folder of files.
    std::string Svg(const KeyDefinition& keyboard, const std::string& folder = "",
                    FileSystem& files = SystemFileSystem()) {
        DomDocument svg;
        EXPECT_TRUE(Succeeded(BuildKeyboardSvg(keyboard, folder, &svg, files)));
        std::string text;
        if (svg) {
            EXPECT_TRUE(Succeeded(svg.SaveToString(&text)));
        }
        return text;
    }
};

/// An element of a parsed document: its name, attributes wanted by the tests,
/// its own text, and the class of the nearest enclosing "g" with a class.
struct Found {
    std::string name;
    std::string group;
    std::string text;
    std::map<std::string, std::string> attributes;
};

std::string Utf8Of(const Variant& value) {
    std::string text;
    for (char16_t unit : value.bstrVal) text += static_cast<char>(unit < 0x80 ? unit : '?');
    return text;
}

/// Every element below node, in document order.
void Collect(const DomNode& node, const std::string& group, std::vector<Found>* out) {
    DomNode child;
    for (HRESULT s = node.get_firstChild(&child); s == S_OK && child;
         s = DomNode(child).get_nextSibling(&child)) {
        DOMNodeType type = NODE_INVALID;
        if (Failed(child.get_nodeType(&type)) || type != NODE_ELEMENT) continue;
        Found found;
        std::u16string name;
        (void)child.get_nodeName(&name);
        for (char16_t unit : name) found.name += static_cast<char>(unit);
        found.group = group;
        DomNamedNodeMap map;
        (void)child.get_attributes(&map);
        for (const char16_t* attribute : {u"class", u"width", u"height", u"viewBox"}) {
            DomNode value;
            if (map.getNamedItem(attribute, &value) == S_OK) {
                Variant v;
                (void)value.get_nodeTypedValue(&v);
                found.attributes[std::string(
                    attribute, attribute + std::char_traits<char16_t>::length(attribute))] =
                    Utf8Of(v);
            }
        }
        Variant text;
        (void)child.get_nodeTypedValue(&text);
        found.text = Utf8Of(text);
        const auto cls = found.attributes.find("class");
        const std::string inner =
            found.name == "g" && cls != found.attributes.end() ? cls->second : group;
        out->push_back(found);
        Collect(child, inner, out);
    }
}

/// The elements of an SVG text; fails the test when it does not parse.
std::vector<Found> Parse(const std::string& svg) {
    DomDocument document;
    EXPECT_TRUE(Succeeded(ParseXmlMemory(svg, &document))) << svg.substr(0, 400);
    std::vector<Found> found;
    if (document) Collect(document, "", &found);
    return found;
}

PolygonRecord Polygon(std::vector<PointRecord> points) {
    PolygonRecord polygon;
    polygon.point = std::move(points);
    return polygon;
}

Key KeyWith(std::int32_t type, std::int32_t vkey, char character, KeyShape shape) {
    Key key;
    key.type = type;
    key.vkey = vkey;
    key.character = character;
    key.shape = std::move(shape);
    return key;
}

TEST_F(KeyboardSvgTest, DrawsOneShapePerOutlineFilledByKind) {
    KeyDefinition keyboard;
    keyboard.name = "Test";
    SubKeyDefinition& panel = keyboard.subkeydef.emplace_back();
    KeyShape every;  // one record of each kind, and a polygon without points
    every.rect.push_back({0, 0, 10, 10, ""});
    every.ellipse.push_back({10, 0, 20, 10, ""});
    every.roundrect.push_back({20, 0, 30, 10, 4, 4, ""});
    every.polygon.push_back(Polygon({{30, 0}, {40, 0}, {40, 10}}));
    every.polygon.push_back(Polygon({}));
    KeyShape one;
    one.polygon.push_back(Polygon({{0, 20}, {10, 20}, {10, 30}}));
    panel.nonshiftkeys.key.push_back(KeyWith(1, 8, 0, every));
    panel.nonshiftkeys.key.push_back(KeyWith(16, -1, 0, one));
    panel.nonshiftkeys.macro.emplace_back().shape = one;
    panel.keyswithoutshift.key.push_back(KeyWith(1, -1, 'q', one));
    panel.keyswithoutshift.key.push_back(KeyWith(1, -1, 'w', every));
    panel.keyswithshift.key.push_back(KeyWith(1, -1, 'Q', one));
    panel.shape.rect.push_back({0, 0, 50, 50, ""});
    panel.nondragarea.ellipse.push_back({0, 0, 5, 5, ""});

    std::map<std::string, int> shapes;  // group class -> outline elements
    std::map<std::string, int> labels;
    for (const Found& e : Parse(Svg(keyboard))) {
        if (e.name == "rect" || e.name == "ellipse" || e.name == "polygon") {
            ++shapes[e.group + " " + e.name];
        }
        if (e.name == "text" && e.group.rfind("key", 0) == 0) ++labels[e.group + " " + e.text];
    }
    const std::map<std::string, int> expected = {
        {"key nonshift rect", 2},
        {"key nonshift ellipse", 1},
        {"key nonshift polygon", 2},
        {"key target polygon", 1},
        {"key macro polygon", 1},
        {"key shiftoff polygon", 3},
        {"key shiftoff rect", 2},
        {"key shiftoff ellipse", 1},
        {"key shifton polygon", 1},
        {"panelshape rect", 1},
        {"nondragarea ellipse", 1},
        {"legend rect", 8},
        {" rect", 1},      // the background
        {"view rect", 2},  // the frame behind each of the two views
    };
    EXPECT_EQ(shapes, expected);
    const std::map<std::string, int> expected_labels = {
        {"key nonshift Backspace", 1}, {"key macro macro", 1}, {"key shiftoff q", 1},
        {"key shiftoff w", 1},         {"key shifton Q", 1},
    };
    EXPECT_EQ(labels, expected_labels);
}

TEST_F(KeyboardSvgTest, LabelsAndTextsAreEscaped) {
    KeyDefinition keyboard;
    keyboard.name = "a<b&c\"d'e";
    SubKeyDefinition& panel = keyboard.subkeydef.emplace_back();
    panel.name = "<&\">";
    KeyShape one;
    one.polygon.push_back(Polygon({{0, 0}, {40, 0}, {40, 40}, {0, 40}}));
    for (char c : {'<', '&', '"', '\'', '>'})
        panel.nonshiftkeys.key.push_back(KeyWith(1, -1, c, one));
    const std::string svg = Svg(keyboard);
    EXPECT_NE(svg.find(">&lt;</text>"), std::string::npos);
    EXPECT_NE(svg.find(">&amp;</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<&"), std::string::npos);
    std::vector<std::string> texts;
    for (const Found& e : Parse(svg)) {
        if (e.name == "text" && e.group == "key nonshift") texts.push_back(e.text);
        if (e.name == "title" && e.group.empty()) {
            EXPECT_EQ(e.text, "a<b&c\"d'e");
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"<", "&", "\"", "'", ">"}));
}

TEST_F(KeyboardSvgTest, AbsurdCoordinatesGiveAValidPictureOfSensibleSize) {
    KeyDefinition keyboard;
    SubKeyDefinition& panel = keyboard.subkeydef.emplace_back();
    KeyShape huge;
    huge.rect.push_back({INT_MIN, INT_MIN, INT_MAX, INT_MAX, ""});
    huge.ellipse.push_back({INT_MAX, INT_MAX, INT_MIN, INT_MIN, ""});
    huge.roundrect.push_back({INT_MAX, 0, INT_MIN, 5, INT_MIN, INT_MAX, ""});
    huge.polygon.push_back(Polygon({{INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}}));
    huge.polygon.push_back(Polygon({}));
    panel.nonshiftkeys.key.push_back(KeyWith(INT_MIN, INT_MIN, 0, huge));
    panel.hotspot = {INT_MIN, INT_MAX};
    panel.dockrect = {INT_MAX, INT_MIN, INT_MIN, INT_MAX};
    keyboard.subkeydef.emplace_back();  // an empty panel
    SubKeyDefinition& only_empty = keyboard.subkeydef.emplace_back();
    only_empty.nonshiftkeys.key.push_back(KeyWith(1, -1, 'x', KeyShape()));
    only_empty.keyswithshift.key.push_back(KeyWith(1, -1, 'y', KeyShape()));
    only_empty.keyswithshift.key.back().shape.polygon.push_back(Polygon({}));

    const std::vector<Found> found = Parse(Svg(keyboard));
    ASSERT_FALSE(found.empty());
    ASSERT_EQ(found[0].name, "svg");
    const double width = std::stod(found[0].attributes.at("width"));
    const double height = std::stod(found[0].attributes.at("height"));
    EXPECT_GE(width, 1);
    EXPECT_GE(height, 1);
    EXPECT_LE(std::max(width, height), 4096);
    EXPECT_EQ(found[0].attributes.at("viewBox").find("e"), std::string::npos);
}

TEST_F(KeyboardSvgTest, EmbedsAFoundImageAndNotesTheOthers) {
    MemoryFileSystem files;
    const std::string png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x03\0\0\0\x02", 24);
    files.AddFile("/kbd/Pictures/Pad.PNG", png);
    files.AddFile("/secret.png", png);
    KeyDefinition keyboard;
    keyboard.subkeydef.emplace_back().jpegnormal = "pictures\\pad.png";
    keyboard.subkeydef.emplace_back().jpegnormal = "pictures\\gone.jpg";
    keyboard.subkeydef.emplace_back().jpegnormal = "..\\secret.png";
    const std::string svg = Svg(keyboard, "/kbd", files);
    EXPECT_NE(svg.find("xlink:href=\"" + DataUri("image/png", png) + "\""), std::string::npos);
    EXPECT_NE(svg.find("width=\"3\" height=\"2\" preserveAspectRatio=\"none\""), std::string::npos);
    std::vector<std::string> notes;
    for (const Found& e : Parse(svg)) {
        if (e.attributes.count("class") && e.attributes.at("class") == "note") {
            notes.push_back(e.text);
        }
    }
    EXPECT_EQ(notes,
              (std::vector<std::string>{"image not found: pictures\\gone.jpg",
                                        "image outside the keyboard's folder: ..\\secret.png"}));
}

TEST_F(KeyboardSvgTest, SavedPictureIsWellFormed) {
    ScratchDir folder;
    KeyDefinition keyboard;
    keyboard.name = "\x01\x81\xFF<&";
    SubKeyDefinition& panel = keyboard.subkeydef.emplace_back();
    panel.nonshiftkeys.key.push_back(KeyWith(1, -1, '\x02', KeyShape()));
    panel.nonshiftkeys.key.back().shape.rect.push_back({0, 0, 30, 30, ""});
    std::string error;
    ASSERT_TRUE(SaveKeyboardSvg(keyboard, folder.path(), folder / "k.svg", &error)) << error;
    EXPECT_NE(CheckWithXmllint(folder / "k.svg"), Xmllint::kMalformed);
    EXPECT_FALSE(SaveKeyboardSvg(keyboard, folder.path(), folder / "no/such/k.svg", &error));
    EXPECT_NE(error.find("no/such"), std::string::npos) << error;
}

}  // namespace

}  // namespace dravonix
