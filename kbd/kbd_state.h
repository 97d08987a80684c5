// The section state machine of the legacy reader: where it stands in the file,
// the objects it builds, and the one step that applies a line to them.
#pragma once

#include <span>
#include <string_view>

#include "model/key.h"
#include "model/key_definition.h"
#include "model/macro.h"
#include "model/sub_key_definition.h"

namespace dravonix {

/// Where the reader stands in the file.
enum class KbdLineState {
    OutsideKeydef = 0,    // before the first "[KEYDEF]"
    InKeydef = 1,         // inside a KEYDEF block, outside any section
    InSounds = 2,         // inside "[SOUNDS]"
    InNotInfluenced = 3,  // inside "[NOT INFLUENCED BY SHIFT]", outside a macro
    InShiftCapsOff = 4,   // inside "[SHIFT/CAPS OFF]"
    InShiftCapsOn = 5,    // inside "[SHIFT/CAPS ON]"
    InMacro = 6,          // collecting the strokes of a macro
};

/// The reader's working objects. Complete keys, macros and panels are moved
/// into their lists and the working object is reset to its defaults.
struct KbdWork {
    KbdLineState state = KbdLineState::OutsideKeydef;
    /// A completed panel gives back the spare room of its key lists: false
    /// when the panels are taken away as they are completed, their room with
    /// them.
    bool trim_panels = true;
    SubKeyDefinition panel;
    Key key;
    Macro macro;
};

/// Applies one cleaned, non-empty line to work; the only place the state
/// changes. A line that holds a marker of the current state (anywhere in the
/// line, letter case exact; inside a section only its own end marker, and in a
/// macro also ".MACROENDS") moves to that marker's state: "[/KEYDEF]" moves
/// the working panel, with type "big", into definition; "[KEYDEF]" inside a
/// block starts a new panel; an end marker in a macro adds the macro to the
/// panel. Any other line goes to the parser of its section; a key line that
/// starts a macro moves to InMacro. Lines before the first block are not
/// parsed (the line loop takes the keyboard's name from among them).
void HandleKbdLine(std::string_view line, KbdWork& work, KeyDefinition& definition);

/// The marker that HandleKbdLine acts on when line comes in state; empty
/// when line is no marker line of that state.
std::string_view FindKbdMarker(KbdLineState state, std::string_view line);

/// Every marker of the file format, ".MACROENDS" included.
std::span<const std::string_view> KbdMarkers();

}  // namespace dravonix
