// Telling the two kinds of keyboard file apart from their first bytes, so
// that a command can say when it was given the other kind.
#pragma once

#include <cstddef>
#include <string_view>

namespace dravonix {

/// How much of a file's start the guesses below look at.
inline constexpr std::size_t kKindSniffLength = 64 * 1024;

/// True when bytes (a file's start) hold a line with which the legacy reader
/// opens its first KEYDEF block: the mark of a legacy keyboard file. Lines
/// are cut, decoded and cleaned exactly as the reader does it, so the
/// "[KEYDEF]" may stand after any whitespace, and anywhere in a line that is
/// not a comment.
bool HasKeydefLine(std::string_view bytes);

/// True when bytes (a file's start) begin, after a UTF-8 byte-order mark and
/// whitespace, with "<".
bool StartsLikeXml(std::string_view bytes);

/// True when bytes (a file's start) start like XML and hold no "[KEYDEF]"
/// line (HasKeydefLine): an XML file.
bool LooksLikeXml(std::string_view bytes);

}  // namespace dravonix
