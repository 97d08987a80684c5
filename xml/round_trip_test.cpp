// Writing a model and reading the file back gives the same model: random
// models are saved, loaded and compared member by member.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "dom/dom.h"
#include "model/key_definition.h"
#include "testing/com_test.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

// Builds random models from the values a file can carry: strings of every
// byte but the controls XML 1.0 cannot hold, any integers, and not-set
// values often enough to exercise the "written when" rules.
class RandomModel {
public:
    explicit RandomModel(std::uint32_t seed) : engine_(seed) {}

    int Below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(engine_); }
    std::int32_t Int() {
        switch (Below(4)) {
            case 0:
                return -1;
            case 1:
                return Below(200);
            default:
                return static_cast<std::int32_t>(engine_());
        }
    }
    char Char() {
        for (;;) {
            auto byte = static_cast<unsigned char>(Below(256));
            if (byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r') {
                return static_cast<char>(byte);
            }
        }
    }
    std::string String(bool may_be_empty = true) {
        int length = Below(8) + (may_be_empty ? 0 : 1);
        std::string text;
        for (int i = 0; i < length; ++i) text.push_back(Char());
        return text;
    }
    KeyShape Shape() {
        KeyShape shape;
        shape.mode = Below(2) ? String() : "";
        for (int i = Below(3); i > 0; --i)
            shape.rect.push_back({Int(), Int(), Int(), Int(), String()});
        for (int i = Below(3); i > 0; --i) {
            shape.ellipse.push_back({Int(), Int(), Int(), Int(), String()});
        }
        for (int i = Below(3); i > 0; --i) {
            shape.roundrect.push_back({Int(), Int(), Int(), Int(), Int(), Int(), String()});
        }
        for (int i = Below(3); i > 0; --i) {
            PolygonRecord polygon;
            for (int p = Below(5); p > 0; --p) polygon.point.push_back({Int(), Int()});
            polygon.polymode = String();
            polygon.mode = String();
            shape.polygon.push_back(polygon);
        }
        return shape;
    }
    Key MakeKey() {
        Key key;
        key.shape = Shape();
        key.sound = Int();
        key.type = Int();
        key.vkey = Int();
        key.character = Below(3) ? Char() : '\0';
        key.target = String();
        key.language = Int();
        return key;
    }
    Macro MakeMacro() {
        Macro macro;
        macro.sound = Int();
        macro.shape = Shape();
        for (int i = Below(5); i > 0; --i) {
            macro.mkey.push_back({Int(), Int(), Below(2) ? Char() : '\0'});
        }
        return macro;
    }
    SubKeyDefinition Panel() {
        SubKeyDefinition panel;
        panel.name = String();
        panel.type = String();
        panel.language = Int();
        panel.docked = Below(2) == 1;
        panel.dockrect = {Int(), Int(), Int(), Int()};
        panel.hotspot = {Int(), Int()};
        panel.jpegnormal = String();
        panel.jpegpressed = String();
        panel.forcewinkeyboard = Below(2) == 1;
        // Only the members of the selected kind of background reach the file.
        panel.dockbackground.type = Below(6);
        if (panel.dockbackground.type == 1) panel.dockbackground.color = Int();
        if (panel.dockbackground.type == 2) panel.dockbackground.filename = String();
        if (panel.dockbackground.type == 3) {
            panel.dockbackground.resourceid = Int();
            panel.dockbackground.resourcetype = String();
        }
        panel.shape = Shape();
        panel.nondragarea = Shape();
        for (int i = Below(4); i > 0; --i) panel.sounds.emplace(Int(), String(false));
        for (int i = Below(3); i > 0; --i) {
            LanguageEntry entry;
            entry.id = Int();
            entry.target = String();
            panel.languages.push_back(entry);
        }
        for (int i = Below(4); i > 0; --i) panel.nonshiftkeys.key.push_back(MakeKey());
        for (int i = Below(3); i > 0; --i) panel.nonshiftkeys.macro.push_back(MakeMacro());
        for (int i = Below(3); i > 0; --i) panel.keyswithoutshift.key.push_back(MakeKey());
        for (int i = Below(3); i > 0; --i) panel.keyswithshift.key.push_back(MakeKey());
        return panel;
    }

private:
    std::mt19937 engine_;
};

void ExpectSameShape(const KeyShape& a, const KeyShape& b) {
    EXPECT_EQ(a.mode, b.mode);
    EXPECT_EQ(a.rect, b.rect);
    EXPECT_EQ(a.ellipse, b.ellipse);
    EXPECT_EQ(a.roundrect, b.roundrect);
    EXPECT_EQ(a.polygon, b.polygon);
}

void ExpectSameKeys(const std::vector<Key>& a, const std::vector<Key>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        ExpectSameShape(a[i].shape, b[i].shape);
        EXPECT_EQ(a[i].sound, b[i].sound);
        EXPECT_EQ(a[i].type, b[i].type);
        EXPECT_EQ(a[i].vkey, b[i].vkey);
        EXPECT_EQ(a[i].character, b[i].character);
        EXPECT_EQ(a[i].target, b[i].target);
        EXPECT_EQ(a[i].language, b[i].language);
    }
}

void ExpectSamePanel(const SubKeyDefinition& a, const SubKeyDefinition& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.language, b.language);
    EXPECT_EQ(a.docked, b.docked);
    EXPECT_EQ(a.dockrect, b.dockrect);
    EXPECT_EQ(a.hotspot, b.hotspot);
    EXPECT_EQ(a.jpegnormal, b.jpegnormal);
    EXPECT_EQ(a.jpegpressed, b.jpegpressed);
    EXPECT_EQ(a.forcewinkeyboard, b.forcewinkeyboard);
    EXPECT_EQ(a.dockbackground.type, b.dockbackground.type);
    EXPECT_EQ(a.dockbackground.color, b.dockbackground.color);
    EXPECT_EQ(a.dockbackground.filename, b.dockbackground.filename);
    EXPECT_EQ(a.dockbackground.resourceid, b.dockbackground.resourceid);
    EXPECT_EQ(a.dockbackground.resourcetype, b.dockbackground.resourcetype);
    ExpectSameShape(a.shape, b.shape);
    ExpectSameShape(a.nondragarea, b.nondragarea);
    EXPECT_EQ(a.sounds, b.sounds);
    ASSERT_EQ(a.languages.size(), b.languages.size());
    for (std::size_t i = 0; i < a.languages.size(); ++i) {
        EXPECT_EQ(a.languages[i].id, b.languages[i].id);
        EXPECT_EQ(a.languages[i].target, b.languages[i].target);
    }
    ExpectSameKeys(a.nonshiftkeys.key, b.nonshiftkeys.key);
    ExpectSameKeys(a.keyswithoutshift.key, b.keyswithoutshift.key);
    ExpectSameKeys(a.keyswithshift.key, b.keyswithshift.key);
    ASSERT_EQ(a.nonshiftkeys.macro.size(), b.nonshiftkeys.macro.size());
    for (std::size_t i = 0; i < a.nonshiftkeys.macro.size(); ++i) {
        const Macro& x = a.nonshiftkeys.macro[i];
        const Macro& y = b.nonshiftkeys.macro[i];
        EXPECT_EQ(x.sound, y.sound);
        ExpectSameShape(x.shape, y.shape);
        EXPECT_EQ(x.mkey, y.mkey);
    }
}

// Saves document into a new DOM document and returns its text.
std::string SaveText(KeyDefDocument& document) {
    DomDocument dom;
    EXPECT_EQ(CreateDomDocument(&dom), S_OK);
    EXPECT_EQ(document.Bind(dom), S_FALSE);
    document.Save(dom);
    std::string text;
    EXPECT_EQ(dom.SaveToString(&text), S_OK);
    return text;
}

}  // namespace

using RoundTrip = ComTest;

TEST_F(RoundTrip, RandomModelsReadBackMemberByMember) {
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomModel random(seed);
        KeyDefDocument original;
        original.keydef.name = random.String();
        for (int i = random.Below(3); i > 0; --i)
            original.keydef.subkeydef.push_back(random.Panel());
        std::string text = SaveText(original);

        KeyDefDocument loaded;
        ASSERT_EQ(LoadKeyboardMemory(text, loaded), KeyboardLoad::kLoaded) << text;
        EXPECT_EQ(loaded.keydef.name, original.keydef.name);
        ASSERT_EQ(loaded.keydef.subkeydef.size(), original.keydef.subkeydef.size());
        for (std::size_t i = 0; i < original.keydef.subkeydef.size(); ++i) {
            ExpectSamePanel(original.keydef.subkeydef[i], loaded.keydef.subkeydef[i]);
        }
        EXPECT_EQ(SaveText(loaded), text) << "saving what was read gives the same file";
        if (HasFailure()) break;
    }
}

}  // namespace dravonix
