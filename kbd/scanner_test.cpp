#include "kbd/scanner.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct IntCase {
    std::string text;
    bool reads;
    int value;
};

class ScannerIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(ScannerIntTest, ReadsLikePercentD) {
    const IntCase& c = GetParam();
    std::int32_t value = 77;
    EXPECT_EQ(Scanner(c.text).Int(value), c.reads);
    EXPECT_EQ(value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ScannerIntTest,
    ::testing::Values(IntCase{"42", true, 42}, IntCase{" \t\n\v\f\r-42x", true, -42},
                      IntCase{"+7", true, 7}, IntCase{"", false, 77}, IntCase{"-", false, 77},
                      IntCase{"- 1", false, 77}, IntCase{"x1", false, 77},
                      IntCase{"2147483647", true, INT_MAX}, IntCase{"-2147483648", true, INT_MIN},
                      IntCase{"2147483648", true, INT_MAX}, IntCase{"-2147483649", true, INT_MIN},
                      IntCase{std::string(5000, '9'), true, INT_MAX},
                      IntCase{"-" + std::string(5000, '9'), true, INT_MIN}));

TEST(ScannerTest, LongNumberIsConsumedWhole) {
    const std::string text = std::string(30, '1') + ",5";
    Scanner scan(text);
    std::int32_t first = 0;
    std::int32_t second = 0;
    EXPECT_TRUE(scan.Int(first) && scan.Match(",") && scan.Int(second));
    EXPECT_EQ(second, 5);
}

TEST(ScannerTest, BlankInLiteralMatchesAnyRunIncludingNone) {
    EXPECT_TRUE(Scanner(",").Match(" , "));
    EXPECT_TRUE(Scanner(" \t ,\n").Match(" , "));
    EXPECT_FALSE(Scanner(" ;").Match(" , "));
    EXPECT_FALSE(Scanner("").Match(","));
}

TEST(ScannerTest, TextUntilNeedsOneCharacter) {
    std::string value = "old";
    EXPECT_FALSE(Scanner("\"").TextUntil('"', 10, value));
    EXPECT_EQ(value, "old");
    EXPECT_TRUE(Scanner("abcdef").TextUntil('"', 3, value));
    EXPECT_EQ(value, "abc");
}

TEST(ScannerTest, StartBeyondTheEndReadsNothing) {
    Scanner scan("abc", 10);
    char ch = 0;
    EXPECT_FALSE(scan.Char(ch));
    EXPECT_TRUE(scan.Match(" "));
}

}  // namespace
