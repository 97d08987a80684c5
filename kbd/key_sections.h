// The three key sections of a KEYDEF block and the macros inside the first.
#pragma once

#include <string_view>

#include "kbd/kbd_state.h"
#include "model/key_collections.h"

namespace dravonix {

/// A line of "[NOT INFLUENCED BY SHIFT]" outside a macro. The working key is
/// reset and the line parsed into it; a key of type 7 without a virtual-key
/// code starts a macro (state InMacro) that takes over its shape and sound, a
/// key without a type is ignored, any other key joins nonshiftkeys.
void HandleNotInfluencedLine(std::string_view line, KbdWork& work);

/// A line while a macro is open: the section's end marker or ".MACROENDS"
/// closes the macro and adds it to nonshiftkeys; any other line is a stroke.
void HandleMacroLine(std::string_view line, KbdWork& work);

/// A line of "[SHIFT/CAPS OFF]" or "[SHIFT/CAPS ON]". The line is parsed into
/// the working key as it stands (without a reset), so an ignored key line
/// leaves its values in the key that the next line adds; a key with a type
/// joins keys and the working key is reset.
void HandleShiftLine(std::string_view line, Key& key, KeyList& keys);

/// Reads a stroke line "%d,%d,'%c" into macro: `-1,0,'a'` types a character,
/// `16,1` presses or releases a key; anything else is ignored.
void HandleStrokeLine(std::string_view line, Macro& macro);

}  // namespace dravonix
