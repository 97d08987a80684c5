#include "platform/codepage.h"

#include <gtest/gtest.h>

#include "platform/unicode.h"

namespace dravonix {

TEST(CodePage, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::u16string wide = MultiByteToWideChar(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(WideCharToMultiByte(wide), all);
}

TEST(CodePage, MapsTheWindows1252Characters) {
    struct Case {
        unsigned char byte;
        char16_t unit;
    };
    const Case cases[] = {
        {'A', u'A'},    {0x80, 0x20AC}, {0x81, 0x0081}, {0x8D, 0x008D},
        {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D}, {0x9F, 0x0178},
        {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF}, {0x00, 0x0000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideCharOfByte(c.byte), c.unit) << int(c.byte);
        EXPECT_EQ(static_cast<unsigned char>(ByteOfWideChar(c.unit)), c.byte) << int(c.byte);
    }
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(WideCharToMultiByte(u"a\u0100b\u4E2D"), "a?b?");
    // A surrogate pair is one character, so one question mark.
    EXPECT_EQ(WideCharToMultiByte(u"x\U0001F600y"), "x?y");
    // The C1 controls the code page redefines (0x80 is the euro sign) have no byte.
    EXPECT_EQ(WideCharToMultiByte(u"\u0080"), "?");
}

TEST(CodePage, NarrowToUtf8MatchesTheRoundTripThroughUtf16) {
    std::string all = "plain ";
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    all += " tail";
    std::string expected;
    AppendUtf16AsUtf8(MultiByteToWideChar(all), expected);
    std::string direct = "kept:";
    AppendNarrowAsUtf8(all, direct);
    EXPECT_EQ(direct, "kept:" + expected);
}

}  // namespace dravonix
