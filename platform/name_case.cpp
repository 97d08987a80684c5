#include "platform/name_case.h"

#include "platform/unicode.h"

namespace dravonix {

namespace {

/// The case-folded form of a code point, for the letters that narrow text
/// can hold: ASCII, Latin-1 and the Windows-1252 extras (Š Œ Ž Ÿ).
char32_t FoldCase(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x160 || c == 0x152 || c == 0x17D) return c + 1;
    if (c == 0x178) return 0xFF;
    return c;
}

/// Takes the first character of text off: its folded code point, or for a
/// byte that is not UTF-8, 0x110000 plus the byte (which no character folds
/// to).
char32_t TakeFolded(std::string_view& text) {
    char32_t c = 0;
    std::size_t length = DecodeUtf8(text, &c);
    if (length == 0) {
        length = 1;
        c = 0x110000 + static_cast<unsigned char>(text[0]);
    }
    text.remove_prefix(length);
    return FoldCase(c);
}

}  // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    while (!a.empty() && !b.empty()) {
        if (TakeFolded(a) != TakeFolded(b)) return false;
    }
    return a.empty() && b.empty();
}

std::string NameCaseKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    while (!name.empty()) {
        const unsigned char first = static_cast<unsigned char>(name[0]);
        const char32_t c = TakeFolded(name);
        if (c >= 0x110000) {
            key.push_back(static_cast<char>(first));
        } else {
            AppendCodePointAsUtf8(c, key);
        }
    }
    return key;
}

}  // namespace dravonix
