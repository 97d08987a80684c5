// Telling the two kinds of keyboard file apart from their first bytes, so
// that a command can say when it was given the other kind.
#pragma once

#include <cstddef>
#include <string_view>

namespace dravonix {

/// How much of a file's start the guesses below look at.
inline constexpr std::size_t kKindSniffLength = 64 * 1024;

/// True when bytes (a file's start) hold a line that is "[KEYDEF]" after
/// blanks: the mark of a legacy keyboard file.
bool HasKeydefLine(std::string_view bytes);

/// True when bytes (a file's start) begin, after a UTF-8 byte-order mark and
/// whitespace, with "<" and hold no "[KEYDEF]" line: an XML file.
bool LooksLikeXml(std::string_view bytes);

}  // namespace dravonix
