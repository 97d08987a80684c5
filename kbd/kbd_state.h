// What the legacy reader works on while it reads one file: its section state
// and the panel, key and macro being built.
#pragma once

#include "model/key.h"
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
    SubKeyDefinition panel;
    Key key;
    Macro macro;
};

}  // namespace dravonix
