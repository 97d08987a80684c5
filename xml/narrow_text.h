// The conversions between the model's narrow text and the DOM's UTF-8 text:
// the reader's, which tells what it could not keep, and the writer's.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace dravonix {

/// What a conversion to narrow text could not keep.
struct NarrowLosses {
    std::size_t replaced = 0;  // characters without a byte in the code page, each now "?"
    std::string_view first;    // the first of them, as the UTF-8 text held it
};

/// Appends to narrow the narrow text of UTF-8 text in code page page: each
/// character's bytes, "?" for a character without any (and for each byte
/// that does not start a well-formed UTF-8 sequence).
/// Adds what became "?" to *losses (may be null); a "?" in the text is kept,
/// not lost.
void AppendUtf8AsNarrow(CodePage page, std::string_view utf8, std::string& narrow,
                        NarrowLosses* losses = nullptr);

/// The UTF-8 form of narrow text in code page page: the text itself when it
/// is ASCII (names and numbers nearly always are), otherwise a converted copy
/// in storage (a byte sequence that is no character gives U+FFFD).
std::string_view Utf8Text(CodePage page, std::string_view narrow, std::string& storage);

}  // namespace dravonix
