// UTF-8 and UTF-16 conversion for the DOM, which keeps its text in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dravonix {

/// Appends the UTF-8 form of UTF-16 text to out. An unpaired surrogate, which
/// UTF-8 cannot carry, becomes U+FFFD.
void AppendUtf16AsUtf8(std::u16string_view wide, std::string& out);

/// Decodes the UTF-8 sequence that text starts with: returns its length in
/// bytes and sets *code_point. Returns 0 when text does not start with a
/// well-formed sequence: empty text, a stray continuation byte, a sequence
/// cut off, an overlong form, a surrogate, or a value past U+10FFFF.
std::size_t DecodeUtf8(std::string_view text, char32_t* code_point);

/// True when text is well-formed UTF-8 throughout (ASCII text is).
bool IsWellFormedUtf8(std::string_view text);

/// Converts UTF-8 to UTF-16. Each byte that does not start a well-formed
/// sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

/// Appends one code point as UTF-8.
void AppendCodePointAsUtf8(char32_t code_point, std::string& out);

}  // namespace dravonix
