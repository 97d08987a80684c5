// The sound table section of a legacy keyboard file.
#pragma once

#include <string_view>

#include "model/records.h"

namespace dravonix {

/// Applies one line `id=file` of a "[SOUNDS]" section to sounds. The id is read
/// like atoi (0 when the line does not start with a number); lines without a
/// usable "=" or with a negative id are ignored. The first definition of an
/// id wins, and an entry whose value is "not defined" is removed again.
void HandleSoundLine(std::string_view line, SoundTable& sounds);

}  // namespace dravonix
