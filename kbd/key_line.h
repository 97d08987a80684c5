// The grammar of one key line of a legacy keyboard file.
#pragma once

#include <cstddef>
#include <string_view>

#include "model/key.h"

namespace dravonix {

/// Most corners kept from the outline of one key line; further pairs are dropped.
inline constexpr std::size_t kMaxKeyLinePoints = 256;
/// Most characters kept from the target text of a type-16 key line.
inline constexpr std::size_t kMaxKeyTargetLength = 127;

/// Reads a key line such as `[10,20,60,20,60,50], 3, 1, 65, 0, 'a'` (or, for
/// type 16, `[...], 3, 16, "text"`) into key. The line is scanned leniently from
/// its start: a line that starts with "[" and has a "]" appends one polygon
/// (possibly empty) to key.shape, and every number read overwrites its member;
/// what cannot be read leaves key as it was.
void ParseKeyLine(std::string_view line, Key& key);

}  // namespace dravonix
