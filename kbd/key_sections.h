// The lines of the three key sections of a KEYDEF block and of the macros
// inside the first.
#pragma once

#include <string_view>

#include "model/key.h"
#include "model/key_collections.h"
#include "model/macro.h"

namespace dravonix {

/// A line of "[NOT INFLUENCED BY SHIFT]" outside a macro. key is reset and the
/// line parsed into it. A key of type 7 without a virtual-key code starts a
/// macro: macro is reset, takes over the key's shape and sound, and the result
/// is true (the macro's stroke lines follow). A key without a type is ignored;
/// any other key joins group.
[[nodiscard]] bool HandleNotInfluencedLine(std::string_view line, Key& key, Macro& macro,
                                           KeyGroup& group);

/// A line of "[SHIFT/CAPS OFF]" or "[SHIFT/CAPS ON]". The line is parsed into
/// the working key as it stands (without a reset), so an ignored key line
/// leaves its values in the key that the next line adds; a key with a type
/// joins keys and the working key is reset.
void HandleShiftLine(std::string_view line, Key& key, KeyList& keys);

/// Reads a stroke line "%d,%d,'%c" into macro: `-1,0,'a'` types a character,
/// `16,1` presses or releases a key; anything else is ignored.
void HandleStrokeLine(std::string_view line, Macro& macro);

}  // namespace dravonix
