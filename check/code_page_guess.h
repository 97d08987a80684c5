// Finds the code page a legacy keyboard's narrow text was most likely written
// in, so that the check can say which --code-page reads it right. Built on a
// character-set detector (uchardet) when the build has one
// (DRAVONIX_UCHARDET); without it every guess is "unsure".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace dravonix {

/// A supported code page that a text reads as, and what it reads like there.
struct CodePageGuess {
    CodePage code_page;
    std::string_view script;  // the page's Description(): "Cyrillic", "Japanese"...
    std::string sample;       // UTF-8: a few words of the text, from its first non-ASCII one
};

/// Another supported code page that text (a legacy keyboard's bytes) reads as
/// much better than in current, the code page it is read in: the detector's
/// answer when text reads as nothing odd there and as something odd in
/// current (CountOddities). Empty when unsure: text without a byte above
/// 0x7F, text that is well-formed UTF-8 (the readers take it as such), a
/// detector that names no supported code page or current, or a text that
/// reads the same in both. Safe on any bytes; any thread may call it.
std::optional<CodePageGuess> GuessCodePage(std::string_view text, CodePage current);

/// False when the build has no detector, so that GuessCodePage is always empty.
bool CanGuessCodePage();

}  // namespace dravonix
