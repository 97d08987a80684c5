#include "platform/unicode.h"

namespace dravonix {

void AppendCodePointAsUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUtf16AsUtf8(std::u16string_view wide, std::string& out) {
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t unit = wide[i];
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            char32_t low = wide[++i];
            AppendCodePointAsUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        AppendCodePointAsUtf8(unit, out);
    }
}

std::size_t DecodeUtf8(std::string_view text, char32_t* code_point) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        *code_point = lead;
        return 1;
    }
    // The length a lead byte announces, and the least code point of that
    // length (anything less is an overlong form). 0xC0, 0xC1 and 0xF5 on can
    // only start overlong forms or values past U+10FFFF.
    std::size_t size = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < size) return 0;
    char32_t cp = lead & (0x7F >> size);
    for (std::size_t k = 1; k < size; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < least || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
    *code_point = cp;
    return size;
}

bool IsWellFormedUtf8(std::string_view text) {
    char32_t code_point = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = DecodeUtf8(text.substr(i), &code_point);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string wide;
    wide.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        const std::size_t size = DecodeUtf8(utf8.substr(i), &cp);
        if (size == 0) {
            wide.push_back(0xFFFD);
            ++i;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            wide.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
            i += size;
        } else {
            wide.push_back(static_cast<char16_t>(cp));
            i += size;
        }
    }
    return wide;
}

}  // namespace dravonix
