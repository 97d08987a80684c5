#include "kbd/key_sections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kbd/kbd_state.h"

namespace dravonix {

namespace {

using Points = std::vector<PointRecord>;

/// Feeds lines to the reader's state machine, inside a "[NOT INFLUENCED BY
/// SHIFT]" section when work starts there.
void FeedNotInfluenced(KbdWork& work, const std::vector<std::string>& lines) {
    KeyDefinition definition;
    for (const std::string& line : lines) HandleKbdLine(line, work, definition);
}

KbdWork StartSection() {
    KbdWork work;
    work.state = KbdLineState::InNotInfluenced;
    return work;
}

TEST(KeySectionsTest, MacroWithStrokesEndedByMacroEnds) {
    KbdWork work = StartSection();
    FeedNotInfluenced(
        work, {"[0,0,10,0,10,10], 2, 7, -1, 0, 'm'", "16,1", "65,1", "65,0", "16,0", ".MACROENDS"});
    EXPECT_EQ(work.state, KbdLineState::InNotInfluenced);
    EXPECT_TRUE(work.panel.nonshiftkeys.key.empty());
    ASSERT_EQ(work.panel.nonshiftkeys.macro.size(), 1u);
    const Macro& macro = work.panel.nonshiftkeys.macro[0];
    EXPECT_EQ(macro.sound, 2);
    ASSERT_EQ(macro.shape.polygon.size(), 1u);
    EXPECT_EQ(macro.shape.polygon[0].point, (Points{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(macro.mkey, (std::vector<MacroKey>{{16, 1, 0}, {65, 1, 0}, {65, 0, 0}, {16, 0, 0}}));
    // Nothing of the macro line stays in the working objects.
    EXPECT_TRUE(work.macro.mkey.empty());
    EXPECT_TRUE(work.key.shape.polygon.empty());
}

TEST(KeySectionsTest, MacroClosedBySectionEnd) {
    KbdWork work = StartSection();
    FeedNotInfluenced(work, {"[0,0], 1, 7, -1, 0, 'm'", "[/NOT INFLUENCED BY SHIFT]"});
    EXPECT_EQ(work.state, KbdLineState::InKeydef);
    ASSERT_EQ(work.panel.nonshiftkeys.macro.size(), 1u);
    EXPECT_TRUE(work.panel.nonshiftkeys.macro[0].mkey.empty());
}

TEST(KeySectionsTest, KeysOfTheGroup) {
    KbdWork work = StartSection();
    FeedNotInfluenced(work, {"[0,0,10,10], 2, 7, 65, 0, 'm'", "[1,1], 3, 16, \"go\"",
                             "not a key line", ".MACROENDS", "[2,2]", "[3,3], 1, 1, -1, 0, 'x'"});
    const std::vector<Key>& keys = work.panel.nonshiftkeys.key;
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].type, 7);
    EXPECT_EQ(keys[0].vkey, 65);
    EXPECT_EQ(keys[0].character, 0);
    EXPECT_EQ(keys[1].target, "go");
    // The ignored "[2,2]" leaves no trace: this section resets before every line.
    ASSERT_EQ(keys[2].shape.polygon.size(), 1u);
    EXPECT_EQ(keys[2].shape.polygon[0].point, (Points{{3, 3}}));
    EXPECT_EQ(keys[2].character, 'x');
    EXPECT_TRUE(work.panel.nonshiftkeys.macro.empty());
}

TEST(KeySectionsTest, ShiftSectionCarriesTracesOfIgnoredLine) {
    Key key;
    KeyList keys;
    HandleShiftLine("[1,1,2,2]", key, keys);
    HandleShiftLine("no key", key, keys);
    HandleShiftLine("[5,5,6,6], 1, 1, 65, 0, 'a'", key, keys);
    ASSERT_EQ(keys.key.size(), 1u);
    ASSERT_EQ(keys.key[0].shape.polygon.size(), 2u);
    EXPECT_EQ(keys.key[0].shape.polygon[0].point, (Points{{1, 1}, {2, 2}}));
    EXPECT_EQ(keys.key[0].shape.polygon[1].point, (Points{{5, 5}, {6, 6}}));
    // The working key is reset after the key was added.
    EXPECT_TRUE(key.shape.polygon.empty());
    EXPECT_EQ(key.type, -1);
}

TEST(KeySectionsTest, TraceOfLastNotInfluencedLineReachesShiftSection) {
    KbdWork work = StartSection();
    FeedNotInfluenced(work, {"[7,7], 4", "[/NOT INFLUENCED BY SHIFT]"});
    HandleShiftLine("[5,5], 1, 1", work.key, work.panel.keyswithshift);
    ASSERT_EQ(work.panel.keyswithshift.key.size(), 1u);
    const Key& key = work.panel.keyswithshift.key[0];
    ASSERT_EQ(key.shape.polygon.size(), 2u);
    EXPECT_EQ(key.shape.polygon[0].point, (Points{{7, 7}}));
    EXPECT_EQ(key.sound, 1);
}

struct StrokeCase {
    std::string line;
    std::vector<MacroKey> strokes;
};

class StrokeLineTest : public ::testing::TestWithParam<StrokeCase> {};

TEST_P(StrokeLineTest, AddsStroke) {
    Macro macro;
    HandleStrokeLine(GetParam().line, macro);
    EXPECT_EQ(macro.mkey, GetParam().strokes);
}

INSTANTIATE_TEST_SUITE_P(
    Strokes, StrokeLineTest,
    ::testing::Values(StrokeCase{"-1,0,'a'", {{-1, -1, 'a'}}},
                      StrokeCase{" -1, 5,'''", {{-1, -1, '\''}}}, StrokeCase{"16,1", {{16, 1, 0}}},
                      StrokeCase{"16,1,x", {{16, 1, 0}}}, StrokeCase{"16, 1 ,'a'", {{16, 1, 0}}},
                      StrokeCase{"-1,0,'", {{-1, 0, 0}}}, StrokeCase{"16,1,'a'", {}},
                      StrokeCase{"65,1,'a'", {}}, StrokeCase{"16", {}}, StrokeCase{"16 ,1", {}},
                      StrokeCase{"x,1", {}}, StrokeCase{".MACROEND", {}}));

}  // namespace

}  // namespace dravonix
