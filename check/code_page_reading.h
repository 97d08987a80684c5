// How plausibly narrow text reads in a code page: the measure by which the
// code page guess decides that one code page reads a text much better than
// another (check/code_page_guess.h).
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/code_page.h"

namespace dravonix {

/// What is odd about text read in page, counted: each sequence that is no
/// character or an undefined byte's filler (C1 control, private use); each
/// non-ASCII symbol between two letters ("Ô÷ò", where "«Привет»" is fine;
/// East Asian punctuation counts as part of a word); each word (a run of letters and
/// combining marks) that mixes two scripts, or that has a non-ASCII letter
/// and a capital letter right after a small one ("ΌςΜε"); and, in the Latin-script pages
/// (1250, 1252, 1254, 1257, 1258), each word of three letters or more none
/// of which is ASCII, which Western text hardly has but other scripts read
/// in those pages always do ("Ðóññêàÿ").
std::size_t CountOddities(std::string_view text, CodePage page);

/// True when text reads the same in both code pages.
bool ReadsTheSame(std::string_view text, CodePage first, CodePage second);

}  // namespace dravonix
