#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace dravonix {

TEST(CodePage, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::u16string wide = MultiByteToWideChar(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(WideCharToMultiByte(wide), all);
}

TEST(CodePage, MapsTheWindows1252Characters) {
    // Every byte the code page gives a character other than its Latin-1 one
    // (0x80 to 0x9F; the five it leaves undefined keep their C1 controls),
    // and samples of the rest.
    const struct {
        unsigned char byte;
        char16_t unit;
        std::string_view utf8;
    } cases[] = {
        {0x80, 0x20AC, "\xE2\x82\xAC"},
        {0x81, 0x0081, "\xC2\x81"},
        {0x82, 0x201A, "\xE2\x80\x9A"},
        {0x83, 0x0192, "\xC6\x92"},
        {0x84, 0x201E, "\xE2\x80\x9E"},
        {0x85, 0x2026, "\xE2\x80\xA6"},
        {0x86, 0x2020, "\xE2\x80\xA0"},
        {0x87, 0x2021, "\xE2\x80\xA1"},
        {0x88, 0x02C6, "\xCB\x86"},
        {0x89, 0x2030, "\xE2\x80\xB0"},
        {0x8A, 0x0160, "\xC5\xA0"},
        {0x8B, 0x2039, "\xE2\x80\xB9"},
        {0x8C, 0x0152, "\xC5\x92"},
        {0x8D, 0x008D, "\xC2\x8D"},
        {0x8E, 0x017D, "\xC5\xBD"},
        {0x8F, 0x008F, "\xC2\x8F"},
        {0x90, 0x0090, "\xC2\x90"},
        {0x91, 0x2018, "\xE2\x80\x98"},
        {0x92, 0x2019, "\xE2\x80\x99"},
        {0x93, 0x201C, "\xE2\x80\x9C"},
        {0x94, 0x201D, "\xE2\x80\x9D"},
        {0x95, 0x2022, "\xE2\x80\xA2"},
        {0x96, 0x2013, "\xE2\x80\x93"},
        {0x97, 0x2014, "\xE2\x80\x94"},
        {0x98, 0x02DC, "\xCB\x9C"},
        {0x99, 0x2122, "\xE2\x84\xA2"},
        {0x9A, 0x0161, "\xC5\xA1"},
        {0x9B, 0x203A, "\xE2\x80\xBA"},
        {0x9C, 0x0153, "\xC5\x93"},
        {0x9D, 0x009D, "\xC2\x9D"},
        {0x9E, 0x017E, "\xC5\xBE"},
        {0x9F, 0x0178, "\xC5\xB8"},
        {0x00, 0x0000, std::string_view("\0", 1)},
        {'A', u'A', "A"},
        {0x7F, 0x007F, "\x7F"},
        {0xA0, 0x00A0, "\xC2\xA0"},
        {0xE9, 0x00E9, "\xC3\xA9"},
        {0xFF, 0x00FF, "\xC3\xBF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.byte));
        EXPECT_EQ(WideCharOfByte(c.byte), c.unit);
        EXPECT_EQ(static_cast<unsigned char>(ByteOfWideChar(c.unit)), c.byte);
        const std::string narrow(1, static_cast<char>(c.byte));
        EXPECT_EQ(MultiByteToWideChar(narrow), std::u16string(1, c.unit));
        std::string utf8 = "kept:";
        AppendNarrowAsUtf8(narrow, utf8);
        EXPECT_EQ(utf8, "kept:" + std::string(c.utf8));
    }
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(WideCharToMultiByte(u"a\u0100b\u4E2D"), "a?b?");
    // A surrogate pair is one character, so one question mark.
    EXPECT_EQ(WideCharToMultiByte(u"x\U0001F600y"), "x?y");
    // The C1 controls the code page redefines (0x80 is the euro sign) have no byte.
    EXPECT_EQ(WideCharToMultiByte(u"\u0080"), "?");
}

TEST(CodePage, NarrowToUtf8ConvertsRunsAndSingleBytes) {
    // ASCII runs are copied whole; each other byte is converted in between.
    std::string utf8 = "kept:";
    AppendNarrowAsUtf8("plain \x80\x96|\xE9 tail\x9F", utf8);
    EXPECT_EQ(utf8, "kept:plain \xE2\x82\xAC\xE2\x80\x93|\xC3\xA9 tail\xC5\xB8");
}

}  // namespace dravonix
