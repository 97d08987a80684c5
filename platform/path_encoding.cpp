#include "platform/path_encoding.h"

#include "platform/unicode.h"

namespace dravonix {

namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Decodes the sequence at path[*i], advancing *i past it; false when it is
// not well formed (surrogates are let through, one per three-byte sequence).
bool DecodeOne(std::string_view path, std::size_t* i, char32_t* code_point) {
    const unsigned char lead = static_cast<unsigned char>(path[*i]);
    int extra = 0;
    char32_t cp = lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07;
    } else if (lead >= 0x80) {
        return false;
    }
    if (extra > 0 && path.size() - *i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char next =
            static_cast<unsigned char>(path[*i + static_cast<std::size_t>(k)]);
        if ((next & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (next & 0x3F);
    }
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))) {
        return false;
    }
    *i += static_cast<std::size_t>(extra) + 1;
    *code_point = cp;
    return true;
}

}  // namespace

bool PathToUtf16(std::string_view path, std::u16string* wide) {
    wide->clear();
    wide->reserve(path.size());
    bool after_high = false;  // the last unit was a high surrogate of its own
    std::size_t i = 0;
    while (i < path.size()) {
        char32_t cp = 0;
        if (!DecodeOne(path, &i, &cp)) return false;
        // A pair written as two sequences would give a second byte form of
        // the same name.
        if (after_high && IsLowSurrogate(cp)) return false;
        after_high = IsHighSurrogate(cp);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            wide->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            wide->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            wide->push_back(static_cast<char16_t>(cp));
        }
    }
    return true;
}

std::string PathFromUtf16(std::u16string_view wide) {
    std::string path;
    path.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t unit = wide[i];
        if (IsHighSurrogate(unit) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (wide[++i] - 0xDC00);
        }
        AppendCodePointAsUtf8(unit, path);  // a lone surrogate takes three bytes too
    }
    return path;
}

}  // namespace dravonix
