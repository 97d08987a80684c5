// Text files written for people, as the platform writes them: its line ends
// and its separator between the parts of a path.
#pragma once

#include <string>
#include <string_view>

namespace dravonix {

/// text (lines ending in "\n") with the platform's line ends: CR LF on
/// Windows, LF elsewhere.
std::string WithNativeLineEnds(std::string_view text);

/// A relative path with "/" between its parts, written with the platform's
/// separator ("\" on Windows).
std::string WithNativeSeparators(std::string_view relative);

}  // namespace dravonix
