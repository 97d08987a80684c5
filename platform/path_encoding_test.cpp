#include "platform/path_encoding.h"

#include <gtest/gtest.h>

namespace dravonix {

TEST(PathEncoding, ConvertsBothWays) {
    struct Case {
        const char* bytes;
        std::u16string wide;
    };
    const Case cases[] = {
        {"out/pad.xml", u"out/pad.xml"},
        {"C:\\Tastatur \xC3\x9C"
         "bersicht \xE2\x82\xAC.kbd",
         u"C:\\Tastatur \u00DCbersicht \u20AC.kbd"},
        {"\xD0\xB2\xD1\x85\xD0\xBE\xD0\xB4.kbd", u"\u0432\u0445\u043E\u0434.kbd"},
        {"\xE9\x94\xAE\xE7\x9B\x98.xml", u"\u952E\u76D8.xml"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},  // a pair is one four-byte character
        // Unpaired surrogates, which Windows names may hold, keep three bytes each.
        {"a\xED\xA0\x80z", u"a\xD800z"},
        {"\xED\xB0\x80", u"\xDC00"},
        {"\xED\xB0\x80\xED\xA0\x80", u"\xDC00\xD800"},  // low then high: no pair
        {"", u""},
    };
    for (const Case& c : cases) {
        std::u16string wide = u"stale";
        EXPECT_TRUE(PathToUtf16(c.bytes, &wide)) << c.bytes;
        EXPECT_EQ(wide, c.wide) << c.bytes;
        EXPECT_EQ(PathFromUtf16(c.wide), c.bytes);
    }
}

TEST(PathEncoding, RejectsBytesThatAreNoName) {
    const char* const bad[] = {
        "\x80",                      // continuation without a lead
        "\xC0\xAF",                  // overlong '/'
        "\xE0\x80\xAF",              // overlong '/'
        "\xF0\x80\x80\xAF",          // overlong '/'
        "\xF4\x90\x80\x80",          // above U+10FFFF
        "\xFF",                      // never in UTF-8
        "ab\xE2\x82",                // cut short
        "\xE2\x28\xA1",              // not a continuation
        "\xED\xA0\xBD\xED\xB8\x80",  // a pair written as two surrogates
    };
    for (const char* bytes : bad) {
        std::u16string wide;
        EXPECT_FALSE(PathToUtf16(bytes, &wide)) << testing::PrintToString(std::string(bytes));
    }
}

TEST(PathEncoding, EveryUnitSurvivesARoundTrip) {
    for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
        const std::u16string name = {u'x', static_cast<char16_t>(unit), u'y'};
        std::u16string back;
        ASSERT_TRUE(PathToUtf16(PathFromUtf16(name), &back)) << static_cast<unsigned>(unit);
        ASSERT_EQ(back, name) << static_cast<unsigned>(unit);
    }
}

}  // namespace dravonix
