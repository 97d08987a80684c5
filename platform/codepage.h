// Conversion between narrow text and automation (UTF-16) strings. Narrow text
// is Windows-1252, which stands in for the "active ANSI code page" so that
// files made on Windows decode the same on every machine. The five bytes the
// code page leaves undefined map to the C1 controls of the same number, so all
// 256 bytes survive a round trip.
#pragma once

#include <string>
#include <string_view>

namespace dravonix {

/// Converts narrow text to UTF-16, one unit per byte (a NUL byte gives U+0000).
std::u16string MultiByteToWideChar(std::string_view narrow);

/// Converts UTF-16 to narrow text; a character without a byte in the code page
/// becomes "?". A surrogate pair counts as one character.
std::string WideCharToMultiByte(std::u16string_view wide);

/// Appends the UTF-8 form of narrow text to out: the same text as
/// MultiByteToWideChar followed by a conversion to UTF-8, without the
/// UTF-16 string in between.
void AppendNarrowAsUtf8(std::string_view narrow, std::string& out);

/// The UTF-16 unit of one narrow byte.
char16_t WideCharOfByte(unsigned char byte);

/// The narrow byte of one UTF-16 unit, or '?' when the code page has none.
char ByteOfWideChar(char16_t unit);

}  // namespace dravonix
