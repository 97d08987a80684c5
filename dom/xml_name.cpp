// The XML 1.0 name rules: which texts may name an element or attribute.
#include "dom/xml_name.h"

#include <array>
#include <cstdint>

#include "platform/unicode.h"

namespace dravonix {

namespace dom {

namespace {

constexpr bool IsNameStartChar(char32_t c) {
    return c == ':' || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

constexpr bool IsNameChar(char32_t c) {
    return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// What each ASCII character may be in a name: bit 1 a first character, bit 2
// a later one.
constexpr std::array<std::uint8_t, 128> kAsciiNameChars = [] {
    std::array<std::uint8_t, 128> table{};
    for (char32_t c = 0; c < 128; ++c) {
        table[c] =
            static_cast<std::uint8_t>((IsNameStartChar(c) ? 1 : 0) | (IsNameChar(c) ? 2 : 0));
    }
    return table;
}();

}  // namespace

bool IsXmlName(std::string_view name) {
    if (name.empty()) return false;
    // Names are nearly always ASCII: check their bytes by table.
    bool ascii = true;
    for (std::size_t i = 0; ascii && i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            ascii = false;
        } else if ((kAsciiNameChars[c] & (i == 0 ? 1 : 2)) == 0) {
            return false;
        }
    }
    if (ascii) return true;
    std::size_t i = 0;
    while (i < name.size()) {
        char32_t c = 0;
        const std::size_t size = DecodeUtf8(name.substr(i), &c);
        if (size == 0) return false;  // not UTF-8: no name at all
        if (!(i == 0 ? IsNameStartChar(c) : IsNameChar(c))) return false;
        i += size;
    }
    return true;
}

}  // namespace dom

}  // namespace dravonix
