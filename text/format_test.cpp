#include "text/format.h"

#include <gtest/gtest.h>

#include <climits>

namespace dravonix {

TEST(Format, Integers) {
    struct Case {
        int value;
        const char* text;
    };
    const Case cases[] = {
        {800, "800"}, {-5, "-5"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}, {0, "0"},
    };
    for (const Case& c : cases) {
        std::string s = "previous content";
        Format(s, "%d", c.value);
        EXPECT_EQ(s, c.text);
    }
}

TEST(Format, ReplacesLongerContent) {
    std::string s(5000, 'x');
    Format(s, "%d", 7);
    EXPECT_EQ(s, "7");
    EXPECT_EQ(s.size(), 1u);
}

TEST(Format, LengthEndsAtTheFirstNul) {
    std::string s;
    Format(s, "ab%cde", 0);
    EXPECT_EQ(s, "ab");
}

TEST(Format, WideResultsFitTheirBuffer) {
    std::string s;
    Format(s, "%*d|%-8s|%05x|%.3s", 300, 1, "ab", 255u, "abcdef");
    ASSERT_EQ(s.size(), 300u + 1 + 8 + 1 + 5 + 1 + 3);
    EXPECT_EQ(s.substr(299), "1|ab      |000ff|abc");
}

}  // namespace dravonix
