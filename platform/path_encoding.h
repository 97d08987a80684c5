// Paths between their byte form and UTF-16 file names. A system whose file
// names are UTF-16 (Windows) takes and hands out paths as UTF-8, stretched
// to carry the unpaired surrogates such names may hold (each encoded like a
// code point of its own, three bytes), so that every name survives a round
// trip, as the bytes of a POSIX name do.
#pragma once

#include <string>
#include <string_view>

namespace dravonix {

/// The UTF-16 form of a path's bytes. False when the bytes are not such a
/// form (malformed or overlong UTF-8, a code point above U+10FFFF, or a
/// surrogate pair written as two three-byte sequences, which has the
/// four-byte form instead).
bool PathToUtf16(std::string_view path, std::u16string* wide);

/// The byte form of a UTF-16 file name; never fails.
std::string PathFromUtf16(std::u16string_view wide);

}  // namespace dravonix
