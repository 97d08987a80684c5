#include <gtest/gtest.h>

#include "model/key_definition.h"
#include "xml/list_bindings.h"

namespace dravonix {

namespace {

PolygonRecord Triangle() {
    PolygonRecord polygon;
    polygon.point = {{0, 0}, {10, 0}, {10, 10}};
    return polygon;
}

}  // namespace

TEST(Model, DefaultsMarkValuesAsNotSet) {
    SubKeyDefinition panel;
    EXPECT_TRUE(panel.docked);
    EXPECT_FALSE(panel.forcewinkeyboard);
    EXPECT_EQ(panel.language, -1);
    EXPECT_EQ(panel.dockrect, DockRect{});
    EXPECT_EQ(panel.hotspot, HotSpot{});
    EXPECT_EQ(panel.dockbackground.type, 0);
    EXPECT_TRUE(panel.name.empty() && panel.type.empty() && panel.jpegnormal.empty());
    EXPECT_TRUE(panel.sounds.empty() && panel.languages.empty());
    EXPECT_TRUE(panel.nonshiftkeys.key.empty() && panel.keyswithshift.key.empty());

    Key key;
    EXPECT_EQ(key.sound, -1);
    EXPECT_EQ(key.type, -1);
    EXPECT_EQ(key.vkey, -1);
    EXPECT_EQ(key.language, -1);
    EXPECT_EQ(key.character, 0);
    EXPECT_FALSE(key.element);

    MacroKey stroke;
    EXPECT_EQ(stroke.vkey, -1);
    EXPECT_EQ(stroke.pressed, -1);
    EXPECT_EQ(stroke.character, 0);
    EXPECT_EQ(Macro().sound, -1);
}

TEST(Model, CopiesAreIndependent) {
    Key key;
    key.shape.polygon.push_back(Triangle());
    Key copy = key;
    copy.shape.polygon.push_back(Triangle());
    copy.shape.polygon[0].point[0].x = 99;
    EXPECT_EQ(key.shape.polygon.size(), 1u);
    EXPECT_EQ(key.shape.polygon[0].point[0].x, 0);

    SubKeyDefinition panel;
    panel.sounds.emplace(1, "a.wav");
    panel.nonshiftkeys.key.push_back(key);
    SubKeyDefinition panel_copy = panel;
    panel_copy.sounds[1] = "b.wav";
    panel_copy.nonshiftkeys.key[0].shape.polygon.clear();
    EXPECT_EQ(panel.sounds[1], "a.wav");
    EXPECT_EQ(panel.nonshiftkeys.key[0].shape.polygon.size(), 1u);
}

TEST(Model, AssignmentReplacesWholeLists) {
    KeyGroup source;
    source.key.resize(3);
    source.key[2].vkey = 65;
    source.macro.resize(1);
    KeyGroup target;
    target.key.resize(5);
    target = source;
    ASSERT_EQ(target.key.size(), 3u);
    EXPECT_EQ(target.key[2].vkey, 65);
    EXPECT_EQ(target.macro.size(), 1u);

    const KeyGroup& alias = target;
    target = alias;  // self-assignment leaves it unchanged
    EXPECT_EQ(target.key.size(), 3u);

    Key reset;
    reset.vkey = 4;
    reset = Key();
    EXPECT_EQ(reset.vkey, -1);
}

TEST(Model, SoundTableOrderAndFirstInsertWins) {
    SoundTable sounds;
    sounds.emplace(5, "five.wav");
    sounds.emplace(2, "two.wav");
    sounds.emplace(9, "nine.wav");
    sounds.emplace(-3, "minus.wav");
    sounds.emplace(5, "other.wav");
    std::vector<int> ids;
    for (const auto& [id, file] : sounds) ids.push_back(id);
    EXPECT_EQ(ids, (std::vector<int>{-3, 2, 5, 9}));
    EXPECT_EQ(sounds[5], "five.wav");
}

TEST(Model, ListBindingsLeaveTheirListsAlone) {
    KeyShape shape;
    shape.rect.push_back({1, 2, 3, 4, "m"});
    shape.polygon.push_back(Triangle());
    shape.ellipse.push_back({});
    { RectShape binding(shape.rect); }
    ASSERT_EQ(shape.rect.size(), 1u);
    EXPECT_EQ(shape.rect[0], (RectRecord{1, 2, 3, 4, "m"}));
    EXPECT_EQ(shape.polygon.size(), 1u);
    EXPECT_EQ(shape.ellipse.size(), 1u);
}

}  // namespace dravonix
