#include "platform/codepage.h"

#include <array>

#include "platform/unicode.h"

namespace dravonix {

namespace {

// Characters of the bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

char16_t WideCharOfByte(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

char ByteOfWideChar(char16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
    }
    return '?';
}

std::u16string MultiByteToWideChar(std::string_view narrow) {
    std::u16string wide(narrow.size(), u'\0');
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        wide[i] = WideCharOfByte(static_cast<unsigned char>(narrow[i]));
    }
    return wide;
}

void AppendNarrowAsUtf8(std::string_view narrow, std::string& out) {
    // Runs of ASCII bytes are the same in UTF-8 and are copied whole.
    std::size_t start = 0;
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        const auto byte = static_cast<unsigned char>(narrow[i]);
        if (byte < 0x80) continue;
        out.append(narrow.substr(start, i - start));
        AppendCodePointAsUtf8(WideCharOfByte(byte), out);
        start = i + 1;
    }
    out.append(narrow.substr(start));
}

std::string WideCharToMultiByte(std::u16string_view wide) {
    std::string narrow;
    narrow.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char16_t unit = wide[i];
        if (IsHighSurrogate(unit) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
            ++i;  // one character outside the code page
            narrow.push_back('?');
            continue;
        }
        narrow.push_back(ByteOfWideChar(unit));
    }
    return narrow;
}

}  // namespace dravonix
