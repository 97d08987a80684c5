#include "kbd/key_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace dravonix {

namespace {

using Points = std::vector<PointRecord>;

/// One key line read into a default key, and what the key must hold after it.
struct KeyLineCase {
    std::string line;
    bool adds_polygon;
    Points points;
    int sound;
    int type;
    int vkey;
    char character;
    std::string target;
};

class KeyLineTableTest : public ::testing::TestWithParam<KeyLineCase> {};

TEST_P(KeyLineTableTest, FillsKey) {
    const KeyLineCase& c = GetParam();
    Key key;
    ParseKeyLine(c.line, key);
    if (c.adds_polygon) {
        ASSERT_EQ(key.shape.polygon.size(), 1u);
        EXPECT_EQ(key.shape.polygon[0].point, c.points);
        EXPECT_EQ(key.shape.polygon[0].polymode, "");
        EXPECT_EQ(key.shape.polygon[0].mode, "");
    } else {
        EXPECT_TRUE(key.shape.polygon.empty());
    }
    EXPECT_TRUE(key.shape.rect.empty());
    EXPECT_EQ(key.sound, c.sound);
    EXPECT_EQ(key.type, c.type);
    EXPECT_EQ(key.vkey, c.vkey);
    EXPECT_EQ(key.character, c.character);
    EXPECT_EQ(key.target, c.target);
    EXPECT_EQ(key.language, -1);
}

INSTANTIATE_TEST_SUITE_P(
    KeyLines, KeyLineTableTest,
    ::testing::Values(
        // The documented examples.
        KeyLineCase{"[10,20,60,20,60,50,10,50], 3, 1, 65, 0, 'a'", true,
                    Points{{10, 20}, {60, 20}, {60, 50}, {10, 50}}, 3, 1, 65, 0, ""},
        KeyLineCase{"[0,0,40,0,40,40], 2, 1, -1, 0, 'x'", true, Points{{0, 0}, {40, 0}, {40, 40}},
                    2, 1, -1, 'x', ""},
        KeyLineCase{"[5,5,9,9], 1, 16, \"abc\"", true, Points{{5, 5}, {9, 9}}, 1, 16, -1, 0, "abc"},
        KeyLineCase{"[1,2,3], 1, 2", true, Points{{1, 2}}, 1, 2, -1, 0, ""},
        KeyLineCase{"[1 ,2], 1, 2, 3, 0, 'q'", true, Points{}, 1, 2, 3, 0, ""},
        KeyLineCase{"[1,2]", true, Points{{1, 2}}, -1, -1, -1, 0, ""},
        KeyLineCase{"(1,2), 1, 2, 3, 0, 'q'", false, Points{}, -1, -1, -1, 0, ""},
        // No "]" at all, or only at position 0: nothing changes.
        KeyLineCase{"[1,2,3,4, 1, 2, 3, 0, 'q'", false, Points{}, -1, -1, -1, 0, ""},
        KeyLineCase{"", false, Points{}, -1, -1, -1, 0, ""},
        // Empty brackets still give a polygon.
        KeyLineCase{"[], 4, 5, 6, 0, 'z'", true, Points{}, 4, 5, 6, 0, ""},
        // Blanks before numbers and around item commas; signs.
        KeyLineCase{"[ -1, +2,\t3,-4]  ,  7 ,8 ,  -1,9,  'k'  trailing", true,
                    Points{{-1, 2}, {3, -4}}, 7, 8, -1, 'k', ""},
        // The character is whatever follows the quote; the closing quote is not checked.
        KeyLineCase{"[0,0], 1, 1, -1, 0, ';'", true, Points{{0, 0}}, 1, 1, -1, ';', ""},
        KeyLineCase{"[0,0], 1, 1, -1, 0, '#", true, Points{{0, 0}}, 1, 1, -1, '#', ""},
        KeyLineCase{"[0,0], 1, 1, -1, 0, ' '", true, Points{{0, 0}}, 1, 1, -1, ' ', ""},
        KeyLineCase{"[0,0], 1, 1, -1, 0, '''", true, Points{{0, 0}}, 1, 1, -1, '\'', ""},
        // Missing opening quote or character: no character.
        KeyLineCase{"[0,0], 1, 1, -1, 0, x", true, Points{{0, 0}}, 1, 1, -1, 0, ""},
        KeyLineCase{"[0,0], 1, 1, -1, 0, '", true, Points{{0, 0}}, 1, 1, -1, 0, ""},
        // Stops at the first item that does not read.
        KeyLineCase{"[0,0], 1, x, 3, 0, 'a'", true, Points{{0, 0}}, 1, -1, -1, 0, ""},
        KeyLineCase{"[0,0], 1 2, 3, 0, 'a'", true, Points{{0, 0}}, 1, -1, -1, 0, ""},
        KeyLineCase{"[0,0] 1, 2, 3, 0, 'a'", true, Points{{0, 0}}, 2, 3, 0, 0, ""},
        // The jump over two commas: a pair after a blank is read from its second number.
        KeyLineCase{"[1,2 3,4,5,6], 1, 1", true, Points{{1, 2}, {4, 5}}, 1, 1, -1, 0, ""},
        // Type 16: quotes holding nothing, no opening quote, no closing quote, trailing text.
        KeyLineCase{"[0,0], 1, 16, \"\"", true, Points{{0, 0}}, 1, 16, -1, 0, ""},
        KeyLineCase{"[0,0], 1, 16, abc", true, Points{{0, 0}}, 1, 16, -1, 0, ""},
        KeyLineCase{"[0,0], 1, 16, \"a b", true, Points{{0, 0}}, 1, 16, -1, 0, "a b"},
        KeyLineCase{"[0,0],1,16 , \"x;y\" rest", true, Points{{0, 0}}, 1, 16, -1, 0, "x;y"},
        // A type-16 line written like an ordinary key keeps vkey and no target.
        KeyLineCase{"[0,0], 1, 16, 65, 0, 'a'", true, Points{{0, 0}}, 1, 16, 65, 0, ""},
        // Numbers beyond 32 bits saturate, however many digits they have.
        KeyLineCase{"[99999999999,-99999999999], 2147483648, -2147483649, "
                    "000000000000000000000000000000000000000000000000012, 0, 'a'",
                    true, Points{{INT_MAX, INT_MIN}}, INT_MAX, INT_MIN, 12, 0, ""}));

TEST(KeyLineTest, RepeatedCallsAppendOnePolygonEach) {
    Key key;
    ParseKeyLine("[1,1,2,2]", key);
    ParseKeyLine("[5,5,6,6], 1, 1, 65, 0, 'a'", key);
    ASSERT_EQ(key.shape.polygon.size(), 2u);
    EXPECT_EQ(key.shape.polygon[0].point, (Points{{1, 1}, {2, 2}}));
    EXPECT_EQ(key.shape.polygon[1].point, (Points{{5, 5}, {6, 6}}));
    EXPECT_EQ(key.vkey, 65);
}

TEST(KeyLineTest, UnreadItemsKeepPreviousValues) {
    Key key;
    key.sound = 9;
    key.type = 8;
    key.vkey = 7;
    key.character = 'c';
    key.target = "old";
    ParseKeyLine("[0,0], 1, 2", key);
    EXPECT_EQ(key.sound, 1);
    EXPECT_EQ(key.type, 2);
    EXPECT_EQ(key.vkey, 7);
    EXPECT_EQ(key.character, 'c');
    EXPECT_EQ(key.target, "old");
}

TEST(KeyLineTest, TypeSixteenFromEarlierLineReplacesTarget) {
    // The target is set whenever the key's type is 16 after the scan, even
    // when this line gave no type of its own.
    Key key;
    key.type = 16;
    key.target = "old";
    ParseKeyLine("[0,0], x", key);
    EXPECT_EQ(key.target, "");
}

TEST(KeyLineTest, KeepsAtMost256Points) {
    // Literal counts on both sides of the limit: an expectation taken from the
    // code's own constant would move with it.
    struct Case {
        int pairs;
        std::size_t kept;
    } cases[] = {{255, 255}, {256, 256}, {257, 256}, {1000, 256}};
    for (const Case& c : cases) {
        std::string line = "[";
        for (int i = 0; i < c.pairs; ++i)
            line += std::to_string(i) + "," + std::to_string(-i) + ",";
        line += "0], 1, 2, 3, 0, 'a'";
        Key key;
        ParseKeyLine(line, key);
        ASSERT_EQ(key.shape.polygon.size(), 1u) << c.pairs;
        const Points& points = key.shape.polygon[0].point;
        ASSERT_EQ(points.size(), c.kept) << c.pairs;
        const auto last = static_cast<std::int32_t>(c.kept) - 1;
        EXPECT_EQ(points.back(), (PointRecord{last, -last})) << c.pairs;
        EXPECT_EQ(key.vkey, 3) << c.pairs;
    }
}

TEST(KeyLineTest, KeepsAtMost127TargetCharacters) {
    std::string text;
    for (int i = 0; i < 500; ++i) text += static_cast<char>('a' + i % 26);
    struct Case {
        std::size_t length;
        std::size_t kept;
    } cases[] = {{126, 126}, {127, 127}, {128, 127}, {500, 127}};
    for (const Case& c : cases) {
        Key key;
        ParseKeyLine("[0,0], 1, 16, \"" + text.substr(0, c.length) + "\"", key);
        EXPECT_EQ(key.target, text.substr(0, c.kept)) << c.length;
    }
}

}  // namespace

}  // namespace dravonix
