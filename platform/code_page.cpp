#include "platform/code_page.h"

#include <array>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/code_page_tables.h"
#include "platform/unicode.h"

namespace dravonix {

namespace {

/// The index of UTF-8, after the pages that have tables.
constexpr std::uint8_t kUtf8 = kCodePageTableCount;
constexpr char16_t kNotACharacter = 0xFFFD;
/// The bytes of a character no sequence is written for.
constexpr std::uint16_t kNoBytes = 0xFFFF;

/// The table of one page unpacked for lookups both ways.
struct Unpacked {
    /// The characters of the bytes 0x80 to 0xFF, then of the pairs of each
    /// lead byte (trail_count cells per lead byte).
    std::vector<char16_t> cells;
    /// One more than the row of a lead byte among the pairs; 0 for any other byte.
    std::array<std::uint8_t, 256> row{};
    unsigned trail_first = 0;
    unsigned trail_count = 0;
    /// The bytes of each character below U+10000, in blocks of 256: a single
    /// byte, a pair as lead << 8 | trail, or kNoBytes. block[high byte] picks
    /// the block; block 0 has no bytes for any character.
    std::array<std::uint16_t, 256> block{};
    std::vector<std::array<std::uint16_t, 256>> blocks;

    char16_t OfByte(unsigned char byte) const { return cells[byte - 0x80]; }
    /// The character of a pair, U+FFFD when it is none.
    char16_t OfPair(unsigned char lead, unsigned char trail) const {
        const unsigned column = trail - trail_first;  // a trail below trail_first wraps round
        if (row[lead] == 0 || column >= trail_count) return kNotACharacter;
        return cells[128 + (row[lead] - 1) * trail_count + column];
    }
    void SetBytes(char16_t character, std::uint16_t bytes) {
        std::uint16_t& index = block[character >> 8];
        if (index == 0) {
            index = static_cast<std::uint16_t>(blocks.size());
            blocks.emplace_back();
            blocks.back().fill(kNoBytes);
        }
        blocks[index][character & 0xFF] = bytes;
    }
};

std::unique_ptr<Unpacked> Unpack(const CodePageTable& table) {
    auto page = std::make_unique<Unpacked>();
    for (const char16_t unit : table.cells) {
        if (unit >= 0xD800 && unit < 0xDC00) {
            const char16_t last = page->cells.back();  // a run follows a character
            for (unsigned k = 1; k <= unit - 0xD800u + 1; ++k) {
                page->cells.push_back(static_cast<char16_t>(last + k));
            }
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            page->cells.insert(page->cells.end(), unit - 0xDC00u + 1, kNotACharacter);
        } else {
            page->cells.push_back(unit);
        }
    }
    page->trail_first = table.trail_first;
    page->trail_count = table.trail_last == 0 ? 0 : table.trail_last - table.trail_first + 1u;
    unsigned rows = 0;
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        if (page->trail_count != 0 && page->cells[byte - 0x80] == kNotACharacter) {
            page->row[byte] = static_cast<std::uint8_t>(++rows);
        }
    }
    page->cells.resize(128 + rows * page->trail_count, kNotACharacter);

    page->blocks.emplace_back();
    page->blocks.back().fill(kNoBytes);
    // Later sequences of a character never replace the first, unless the
    // first is one of those only read.
    auto read_only = [&](unsigned pair) {
        return table.read_only.find(static_cast<char16_t>(pair)) != std::u16string_view::npos;
    };
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        if (page->row[byte] == 0) page->SetBytes(page->cells[byte - 0x80], byte);
    }
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
        if (page->row[lead] == 0) continue;
        for (unsigned column = 0; column < page->trail_count; ++column) {
            const unsigned pair = lead << 8 | (page->trail_first + column);
            const char16_t character =
                page->cells[128 + (page->row[lead] - 1) * page->trail_count + column];
            if (character == kNotACharacter || read_only(pair)) continue;
            page->SetBytes(character, static_cast<std::uint16_t>(pair));
        }
    }
    return page;
}

/// The unpacked table of the page at index (below kUtf8), unpacked on first use.
const Unpacked& Table(std::uint8_t index) {
    static std::array<std::once_flag, kCodePageTableCount> once;
    static std::array<std::unique_ptr<Unpacked>, kCodePageTableCount> pages;
    std::call_once(once[index], [index] { pages[index] = Unpack(kCodePageTables[index]); });
    return *pages[index];
}

bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

/// The length of the run of ASCII bytes text starts with.
std::size_t AsciiRun(std::string_view text) {
    std::size_t size = 0;
    while (size < text.size() && static_cast<unsigned char>(text[size]) < 0x80) ++size;
    return size;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<CodePage> CodePage::Find(std::string_view name) {
    if (EqualsIgnoringCase(name, "utf-8") || EqualsIgnoringCase(name, "utf8")) {
        return CodePage(kUtf8);
    }
    for (std::string_view prefix : {"windows-", "cp"}) {
        if (name.size() > prefix.size() &&
            EqualsIgnoringCase(name.substr(0, prefix.size()), prefix)) {
            name.remove_prefix(prefix.size());
            break;
        }
    }
    if (name.empty() || name.size() > 5 || name[0] == '0') return std::nullopt;
    unsigned number = 0;
    for (const char c : name) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number == 65001) return CodePage(kUtf8);
    for (std::uint8_t i = 0; i < kCodePageTableCount; ++i) {
        if (kCodePageTables[i].number == number) return CodePage(i);
    }
    return std::nullopt;
}

std::string_view CodePage::SupportedList() {
    return "874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 932, 936, 949, 950, 65001";
}

unsigned CodePage::Number() const {
    return index_ == kUtf8 ? 65001u : kCodePageTables[index_].number;
}

std::string_view CodePage::Description() const {
    switch (Number()) {
        case 874:
            return "Thai";
        case 1250:
            return "Central European";
        case 1251:
            return "Cyrillic";
        case 1252:
            return "Western European";
        case 1253:
            return "Greek";
        case 1254:
            return "Turkish";
        case 1255:
            return "Hebrew";
        case 1256:
            return "Arabic";
        case 1257:
            return "Baltic";
        case 1258:
            return "Vietnamese";
        case 932:
            return "Japanese";
        case 936:
            return "Simplified Chinese";
        case 949:
            return "Korean";
        case 950:
            return "Traditional Chinese";
        default:
            return "Unicode (UTF-8)";
    }
}

bool CodePage::IsDoubleByte() const {
    return index_ != kUtf8 && kCodePageTables[index_].trail_last != 0;
}

bool CodePage::IsLeadByte(unsigned char byte) const {
    return byte >= 0x80 && IsDoubleByte() && Table(index_).row[byte] != 0;
}

char32_t CodePage::ReadCharacter(std::string_view text, std::size_t* length) const {
    *length = text.empty() ? 0 : 1;
    if (text.empty()) return 0;
    const auto byte = static_cast<unsigned char>(text[0]);
    if (byte < 0x80) return byte;
    if (index_ == kUtf8) {
        char32_t code_point = 0;
        const std::size_t size = DecodeUtf8(text, &code_point);
        if (size == 0) return kNotACharacter;
        *length = size;
        return code_point;
    }
    const Unpacked& table = Table(index_);
    if (table.row[byte] == 0) return table.OfByte(byte);
    if (text.size() < 2) return kNotACharacter;
    const auto trail = static_cast<unsigned char>(text[1]);
    const char16_t character = table.OfPair(byte, trail);
    if (character != kNotACharacter || trail >= 0x80) *length = 2;
    return character;
}

std::size_t CodePage::AppendWide(std::string_view narrow, std::u16string& out) const {
    std::size_t broken = 0;
    out.reserve(out.size() + narrow.size());
    while (!narrow.empty()) {
        const std::size_t ascii = AsciiRun(narrow);
        out.append(narrow.begin(), narrow.begin() + static_cast<std::ptrdiff_t>(ascii));
        narrow.remove_prefix(ascii);
        if (narrow.empty()) break;
        std::size_t length = 0;
        const char32_t character = ReadCharacter(narrow, &length);
        narrow.remove_prefix(length);
        if (character == kNotACharacter) ++broken;
        if (character < 0x10000) {
            out.push_back(static_cast<char16_t>(character));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF)));
        }
    }
    return broken;
}

std::size_t CodePage::AppendUtf8(std::string_view narrow, std::string& out) const {
    std::size_t broken = 0;
    while (!narrow.empty()) {
        const std::size_t ascii = AsciiRun(narrow);
        out.append(narrow.substr(0, ascii));
        narrow.remove_prefix(ascii);
        if (narrow.empty()) break;
        std::size_t length = 0;
        const char32_t character = ReadCharacter(narrow, &length);
        if (character == kNotACharacter) {
            ++broken;
            AppendCodePointAsUtf8(character, out);
        } else if (index_ == kUtf8) {
            out.append(narrow.substr(0, length));
        } else {
            AppendCodePointAsUtf8(character, out);
        }
        narrow.remove_prefix(length);
    }
    return broken;
}

std::u16string CodePage::ToWide(std::string_view narrow) const {
    std::u16string wide;
    AppendWide(narrow, wide);
    return wide;
}

bool CodePage::AppendCharacter(char32_t code_point, std::string& out) const {
    if (code_point < 0x80) {
        out.push_back(static_cast<char>(code_point));
        return true;
    }
    if (index_ == kUtf8) {
        if (IsSurrogate(code_point) || code_point > 0x10FFFF) {
            out.push_back('?');
            return false;
        }
        AppendCodePointAsUtf8(code_point, out);
        return true;
    }
    const Unpacked& table = Table(index_);
    const std::uint16_t bytes = code_point < 0x10000
                                    ? table.blocks[table.block[code_point >> 8]][code_point & 0xFF]
                                    : kNoBytes;
    if (bytes == kNoBytes) {
        out.push_back('?');
        return false;
    }
    if (bytes > 0xFF) out.push_back(static_cast<char>(bytes >> 8));
    out.push_back(static_cast<char>(bytes & 0xFF));
    return true;
}

std::size_t CodePage::AppendNarrow(std::u16string_view wide, std::string& out) const {
    std::size_t missing = 0;
    out.reserve(out.size() + wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t unit = wide[i];
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (wide[++i] - 0xDC00u);
        }
        if (!AppendCharacter(unit, out)) ++missing;
    }
    return missing;
}

std::string CodePage::ToNarrow(std::u16string_view wide, std::size_t* missing) const {
    std::string narrow;
    const std::size_t count = AppendNarrow(wide, narrow);
    if (missing != nullptr) *missing = count;
    return narrow;
}

}  // namespace dravonix
