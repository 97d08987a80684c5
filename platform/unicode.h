// UTF-8 and UTF-16 conversion for the DOM, which keeps its text in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace dravonix {

/// Appends the UTF-8 form of UTF-16 text to out. An unpaired surrogate, which
/// UTF-8 cannot carry, becomes U+FFFD.
void AppendUtf16AsUtf8(std::u16string_view wide, std::string& out);

/// Converts UTF-8 to UTF-16. A malformed sequence becomes U+FFFD (the DOM only
/// ever holds well-formed UTF-8, so this is a safety net).
std::u16string Utf8ToUtf16(std::string_view utf8);

/// Appends one code point as UTF-8.
void AppendCodePointAsUtf8(char32_t code_point, std::string& out);

}  // namespace dravonix
