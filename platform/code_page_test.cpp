#include "platform/code_page.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/unicode.h"

namespace dravonix {

namespace {

CodePage Page(unsigned number) { return *CodePage::Find(std::to_string(number)); }

constexpr unsigned kPages[] = {874,  1250, 1251, 1252, 1253, 1254, 1255, 1256,
                               1257, 1258, 932,  936,  949,  950,  65001};

}  // namespace

TEST(CodePageValue, FindsNumbersAndUsualNamesOnly) {
    const struct {
        std::string_view name;
        unsigned number;  // 0: not found
    } cases[] = {
        {"1251", 1251},
        {"cp1251", 1251},
        {"Windows-1251", 1251},
        {"CP932", 932},
        {"windows-874", 874},
        {"65001", 65001},
        {"UTF-8", 65001},
        {"utf8", 65001},
        {"cp65001", 65001},
        {"950", 950},
        {"", 0},
        {"cp", 0},
        {"windows-", 0},
        {"437", 0},
        {"01252", 0},
        {"1252 ", 0},
        {"cp-1252", 0},
        {"utf-16", 0},
        {"99999999999", 0},
        {"windows-utf-8", 0},
        {"1251x", 0},
        {"latin1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<CodePage> page = CodePage::Find(c.name);
        EXPECT_EQ(page ? page->Number() : 0u, c.number);
    }
    EXPECT_EQ(CodePage().Number(), 1252u);
    EXPECT_EQ(Page(1251).Description(), "Cyrillic");
    EXPECT_EQ(CodePage::SupportedList(),
              "874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 932, 936, 949, 950, "
              "65001");
}

TEST(CodePageValue, MapsLettersOfEachPageBothWays) {
    const struct {
        unsigned page;
        std::string_view narrow;
        std::string_view utf8;
        std::string_view written;  // what writing the text gives, when not narrow itself
    } cases[] = {
        {874, "\xA1\xD2\xDB", "\xE0\xB8\x81\xE0\xB8\xB2\xEF\xA3\x81", {}},  // กา, filler U+F8C1
        {1250, "\x8A\xE8\x81", "\xC5\xA0\xC4\x8D\xC2\x81", {}},             // Šč, C1 U+0081
        {1251, "\xD0\xF3\xF1\x98", "\xD0\xA0\xD1\x83\xD1\x81\xC2\x98", {}},  // Рус, C1 U+0098
        {1252, "\x80\xE9\x9D", "\xE2\x82\xAC\xC3\xA9\xC2\x9D", {}},          // €é, C1 U+009D
        {1253, "\xC1\xF9\xAA", "\xCE\x91\xCF\x89\xEF\xA3\xB9", {}},          // Αω, filler U+F8F9
        {1254, "\xD0\xFE", "\xC4\x9E\xC5\x9F", {}},                          // Ğş
        {1255, "\xE0\xCA\xFF", "\xD7\x90\xD6\xBA\xEF\xA2\x96", {}},          // א, U+05BA, U+F896
        {1256, "\xC7\xE1", "\xD8\xA7\xD9\x84", {}},                          // ال
        {1257, "\xC0\xFE\xA1", "\xC4\x84\xC5\xBE\xEF\xA3\xBC", {}},          // Ąž, filler U+F8FC
        {1258, "\xD0\x61\xEC", "\xC4\x90\x61\xCC\x81", {}},  // Đa and a combining acute
        // 932: 表's second byte is a backslash; half-width katakana; user-defined row.
        {932, "\x95\x5C\x82\xA0\xB1\\", "\xE8\xA1\xA8\xE3\x81\x82\xEF\xBD\xB1\\", {}},
        {932, "\xF0\x40\x80\xA0", "\xEE\x80\x80\xC2\x80\xEF\xA3\xB0", {}},
        {932, "\xEE\xEF", "\xE2\x85\xB0", "\xFA\x40"},  // ⅰ is written with its other pair
        {936, "\xD6\xD0\x80\xAA\xA1", "\xE4\xB8\xAD\xE2\x82\xAC\xEE\x80\x80", {}},      // 中€
        {949, "\xB0\xA1\x81\x41\xC9\xA1", "\xEA\xB0\x80\xEA\xB0\x82\xEE\x80\x80", {}},  // 가갂
        {950, "\xA4\xA4\xA3\xE1\xF9\xF9", "\xE4\xB8\xAD\xE2\x82\xAC\xE2\x95\x90", {}},  // 中€═
        {950, "\xA2\xA4", "\xE2\x95\x90", "\xF9\xF9"},
        {65001, "\xD0\xAF\xF0\x9F\x98\x80", "\xD0\xAF\xF0\x9F\x98\x80", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << " " << c.utf8);
        const CodePage page = Page(c.page);
        std::string utf8 = "kept:";
        EXPECT_EQ(page.AppendUtf8(c.narrow, utf8), 0u);
        EXPECT_EQ(utf8, "kept:" + std::string(c.utf8));
        const std::u16string wide = page.ToWide(c.narrow);
        EXPECT_EQ(wide, Utf8ToUtf16(c.utf8));
        std::size_t missing = 1;
        EXPECT_EQ(page.ToNarrow(wide, &missing), c.written.empty() ? c.narrow : c.written);
        EXPECT_EQ(missing, 0u);
    }
}

TEST(CodePageValue, EveryCharacterOfEveryPageSurvivesARoundTrip) {
    // Every single byte, and every pair of each lead byte that reads as a
    // character, is written back as the same bytes (but for the few pairs
    // whose character Windows writes with another pair), and every byte
    // below 0x80 is itself.
    const struct {
        unsigned page;
        std::size_t leads, pairs, rewritten;
    } cases[] = {
        {874, 0, 0, 0},       {1250, 0, 0, 0},       {1251, 0, 0, 0},      {1252, 0, 0, 0},
        {1253, 0, 0, 0},      {1254, 0, 0, 0},       {1255, 0, 0, 0},      {1256, 0, 0, 0},
        {1257, 0, 0, 0},      {1258, 0, 0, 0},       {932, 60, 9604, 398}, {936, 126, 23940, 0},
        {949, 126, 17236, 0}, {950, 126, 19720, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const CodePage page = Page(c.page);
        std::size_t leads = 0, pairs = 0, rewritten = 0;
        for (unsigned lead = 0; lead < 256; ++lead) {
            const std::string single(1, static_cast<char>(lead));
            if (!page.IsLeadByte(static_cast<unsigned char>(lead))) {
                std::size_t length = 0;
                const char32_t character = page.ReadCharacter(single, &length);
                if (lead < 0x80) {
                    EXPECT_EQ(character, lead);
                }
                std::string back;
                EXPECT_TRUE(page.AppendCharacter(character, back)) << lead;
                EXPECT_EQ(back, single);
                continue;
            }
            ++leads;
            for (unsigned trail = 0; trail < 256; ++trail) {
                const std::string pair = single + static_cast<char>(trail);
                std::size_t length = 0;
                const char32_t character = page.ReadCharacter(pair, &length);
                if (character == 0xFFFD) continue;
                ++pairs;
                EXPECT_EQ(length, 2u);
                std::string back;
                EXPECT_TRUE(page.AppendCharacter(character, back));
                if (back != pair) {
                    ++rewritten;
                    EXPECT_EQ(page.ReadCharacter(back, &length), character);
                }
            }
        }
        EXPECT_EQ(leads, c.leads);
        EXPECT_EQ(pairs, c.pairs);
        EXPECT_EQ(rewritten, c.rewritten);
    }
}

TEST(CodePageValue, BytesThatAreNoCharacterReadAsReplacements) {
    const struct {
        unsigned page;
        std::string_view narrow;
        std::string_view utf8;
        std::size_t broken;
    } cases[] = {
        {932, "a\x81", "a\xEF\xBF\xBD", 1},          // a lead byte ends the text
        {932, "\x81\x20,", "\xEF\xBF\xBD ,", 1},     // a blank after a lead byte stays
        {932, "\x85\x5C", "\xEF\xBF\xBD\\", 1},      // a lead byte of no character
        {932, "\x81\x7F'", "\xEF\xBF\xBD\x7F'", 1},  // 0x7F is no second byte
        {932, "\x81\xFDx", "\xEF\xBF\xBDx", 1},      // a pair above 0x7F goes as one
        {936, "\x81\x30\x81\x40",
         "\xEF\xBF\xBD"
         "0\xE4\xB8\x82",
         1},
        {949, "\xC9\x41\xA1",
         "\xEF\xBF\xBD"
         "A\xEF\xBF\xBD",
         2},
        {950, "\xA1\x7F\xA1\x40", "\xEF\xBF\xBD\x7F\xE3\x80\x80", 1},
        {65001, "\xC3(\xE2\x82\xFF", "\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 4},
        {65001, "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 3},  // a surrogate
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << " " << c.utf8);
        const CodePage page = Page(c.page);
        std::string utf8;
        EXPECT_EQ(page.AppendUtf8(c.narrow, utf8), c.broken);
        EXPECT_EQ(utf8, c.utf8);
        std::u16string wide;
        EXPECT_EQ(page.AppendWide(c.narrow, wide), c.broken);
        EXPECT_EQ(wide, Utf8ToUtf16(c.utf8));
    }
    // Lead bytes: where they start and end, in each double-byte page.
    const struct {
        unsigned page;
        unsigned char byte;
        bool lead;
    } leads[] = {
        {932, 0x80, false}, {932, 0x81, true},   {932, 0x9F, true},    {932, 0xA0, false},
        {932, 0xDF, false}, {932, 0xE0, true},   {932, 0xFC, true},    {932, 0xFD, false},
        {936, 0x81, true},  {936, 0xFE, true},   {936, 0xFF, false},   {949, 0x80, false},
        {950, 0xA1, true},  {1251, 0xC0, false}, {65001, 0xE3, false},
    };
    for (const auto& c : leads) {
        EXPECT_EQ(Page(c.page).IsLeadByte(c.byte), c.lead) << c.page << " " << int(c.byte);
    }
}

TEST(CodePageValue, CharactersWithoutBytesBecomeQuestionMarks) {
    const struct {
        unsigned page;
        std::u16string_view wide;
        std::string_view narrow;
        std::size_t missing;
    } cases[] = {
        {1251, u"\u03A9\u00E9\u0416", "??\xC6", 2},
        {1252, u"x\U0001F600y\uFFFD", "x?y?", 2},  // a surrogate pair is one character
        {932, u"\u00E9\u8868", "?\x95\x5C", 1},
        {949, u"\u0416\uAC00", "\xAC\xA8\xB0\xA1", 0},
        {874, u"\u0E01\u0E3F\u00E9", "\xA1\xDF?", 1},
        {65001, u"a\xD800z\xDC00", "a?z?", 2},  // unpaired surrogates
        {65001, u"\U0001F600", "\xF0\x9F\x98\x80", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        std::string narrow = "kept:";
        EXPECT_EQ(Page(c.page).AppendNarrow(c.wide, narrow), c.missing);
        EXPECT_EQ(narrow, "kept:" + std::string(c.narrow));
    }
}

TEST(CodePageValue, Windows1252IsTheNarrowTextOfToday) {
    const CodePage page;
    for (unsigned byte = 0; byte < 256; ++byte) {
        const std::string narrow(1, static_cast<char>(byte));
        ASSERT_EQ(page.ToWide(narrow), MultiByteToWideChar(narrow)) << byte;
    }
    for (unsigned unit = 0; unit < 0x10000; ++unit) {
        const std::u16string wide(1, static_cast<char16_t>(unit));
        ASSERT_EQ(page.ToNarrow(wide), WideCharToMultiByte(wide)) << unit;
    }
    for (const unsigned number : kPages) EXPECT_EQ(Page(number).Number(), number);
}

}  // namespace dravonix
