#include "platform/unicode.h"

#include <gtest/gtest.h>

namespace dravonix {

TEST(Unicode, Utf8ToUtf16ReplacesEachByteOfAMalformedSequence) {
    const struct {
        std::string_view utf8;
        std::u16string_view utf16;
    } cases[] = {
        {"", u""},
        {"A\x7F", u"A\u007F"},
        {"\xC2\x80", u"\u0080"},
        {"\xDF\xBF", u"\u07FF"},
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xEE\x80\x80", u"\uE000"},
        {"\xEF\xBF\xBD", u"\uFFFD"},
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        // Overlong forms.
        {"\xC0\x80", u"\uFFFD\uFFFD"},
        {"\xC1\xBF", u"\uFFFD\uFFFD"},
        {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xE0\x9F\xBF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF0\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        // Surrogates, and values past U+10FFFF.
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xED\xBF\xBF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xFE\xFF", u"\uFFFD\uFFFD"},
        // Stray continuation bytes and cut-off sequences.
        {"\x80", u"\uFFFD"},
        {"a\xBFz", u"a\uFFFDz"},
        {"\xE2\x82", u"\uFFFD\uFFFD"},
        {"\xE2\x82z", u"\uFFFD\uFFFDz"},
        {"\xF0\x9F\x98", u"\uFFFD\uFFFD\uFFFD"},
        {"\xC3\xC3\xA9", u"\uFFFD\u00E9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << testing::PrintToString(std::string(c.utf8));
    }
}

TEST(Unicode, Utf16ToUtf8ReplacesUnpairedSurrogates) {
    const struct {
        std::u16string_view utf16;
        std::string_view utf8;
    } cases[] = {
        {u"A\u00E9\u20AC", "A\xC3\xA9\xE2\x82\xAC"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {u"\xD83D", "\xEF\xBF\xBD"},
        {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {u"\xD83Dz", "\xEF\xBF\xBDz"},
    };
    for (const auto& c : cases) {
        std::string utf8 = "kept:";
        AppendUtf16AsUtf8(c.utf16, utf8);
        EXPECT_EQ(utf8, "kept:" + std::string(c.utf8));
    }
}

}  // namespace dravonix
