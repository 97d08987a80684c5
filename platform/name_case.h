// File names compared without regard to letter case, as Windows compares
// them: what decides whether two names can be two files on every system.
#pragma once

#include <string>
#include <string_view>

namespace dravonix {

/// True when two UTF-8 names are equal apart from the case of the letters
/// narrow text can hold (ASCII, Latin-1 and the Windows-1252 extras Š Œ Ž Ÿ).
/// A byte that is not UTF-8 matches only the same byte.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

/// The name with those letters in lower case: two names are the same
/// ignoring case when their keys are equal (for sorting or a map).
std::string NameCaseKey(std::string_view name);

}  // namespace dravonix
