// The code page of narrow text: one of the supported Windows code pages (874,
// 1250 to 1258, 932, 936, 949, 950) or UTF-8 (65001), as a small value that
// each conversion carries (there is no process-wide setting). Both platforms
// map every byte the same way, from the tables of
// platform/code_page_tables.cpp (scripts/code_page_tables.py).
//
// Bytes to characters:
// - 0x00 to 0x7F are ASCII in every page; text without a byte above 0x7F is
//   copied as it is, without looking at a table.
// - Single-byte pages: every byte is a character. A byte the page leaves
//   undefined reads as Windows reads it, as the C1 control of its number
//   (0x80 to 0x9F) or as a private-use filler (U+F8xx), so it survives a
//   round trip (1252's 0x81, 0x8D, 0x8F, 0x90 and 0x9D read as U+0081...).
// - 932, 936, 949 and 950: a byte that is no lead byte reads like one of a
//   single-byte page (932's 0xA1 to 0xDF are half-width katakana; the few
//   others read as Windows reads them: U+0080, U+F8F0 to U+F8F8). A lead
//   byte and the byte after it are one character. A lead byte whose pair is
//   no character, or that ends the text, reads as U+FFFD; the byte after it
//   is then read again on its own when it is below 0x80, so a broken pair
//   never takes a quote, comma, backslash or line end with it.
// - 65001: each byte that does not start a well-formed UTF-8 sequence reads
//   as U+FFFD.
// Each U+FFFD so produced counts as one sequence that is no character.
//
// Characters to bytes: a character the page has no bytes for becomes "?"
// (never a look-alike) and counts as one not written; so does an unpaired
// surrogate, in every page. Where two byte sequences read as one character
// (some in 932 and 950), the one Windows writes is written.
//
// Thread safety: a CodePage is a plain value; its tables are made ready on
// first use and then only read, so any thread may convert at any time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dravonix {

class CodePage {
public:
    /// Windows-1252, the code page of narrow text unless a conversion says otherwise.
    constexpr CodePage() = default;

    /// The code page a number or a usual name stands for, in any letter case:
    /// "1251", "cp1251", "windows-1251"; "65001", "cp65001", "utf-8", "utf8".
    /// Empty when it names no supported code page.
    static std::optional<CodePage> Find(std::string_view name);
    /// The supported numbers, for a usage error: "874, 1250, ..., 950, 65001".
    static std::string_view SupportedList();

    /// The code page's number (1252, 932, 65001...).
    unsigned Number() const;
    /// Whom the page is for: "Cyrillic", "Japanese", "Unicode (UTF-8)"...
    std::string_view Description() const;
    /// True for 932, 936, 949 and 950, whose characters are one or two bytes.
    bool IsDoubleByte() const;
    /// True when byte starts a two-byte character of a double-byte page (it
    /// never stands alone); false in the other pages.
    bool IsLeadByte(unsigned char byte) const;

    /// The character text starts with, and in *length its size in bytes (1
    /// to 4; 0 for empty text, which gives U+0000). U+FFFD when the bytes are
    /// no character, as described above.
    char32_t ReadCharacter(std::string_view text, std::size_t* length) const;
    /// Appends narrow text as UTF-16 to out; returns how many sequences were
    /// no character (each read as U+FFFD).
    std::size_t AppendWide(std::string_view narrow, std::u16string& out) const;
    /// Appends narrow text as UTF-8 to out; returns the same count.
    std::size_t AppendUtf8(std::string_view narrow, std::string& out) const;
    /// Narrow text as UTF-16.
    std::u16string ToWide(std::string_view narrow) const;

    /// Appends the bytes of one character to out, or "?" and returns false
    /// when the page has none (a surrogate or a value past U+10FFFF never has).
    bool AppendCharacter(char32_t code_point, std::string& out) const;
    /// Appends UTF-16 text as narrow text to out (a surrogate pair is one
    /// character); returns how many characters had no bytes (each became "?").
    std::size_t AppendNarrow(std::u16string_view wide, std::string& out) const;
    /// UTF-16 text as narrow text; *missing (when given) gets the count of
    /// characters that became "?".
    std::string ToNarrow(std::u16string_view wide, std::size_t* missing = nullptr) const;

    friend bool operator==(CodePage, CodePage) = default;

private:
    explicit constexpr CodePage(std::uint8_t index) : index_(index) {}

    std::uint8_t index_ = 3;  // the position of 1252 among the supported pages
};

}  // namespace dravonix
