// The header keys of a KEYDEF block: panel name and panel images.
#pragma once

#include <string_view>

#include "model/sub_key_definition.h"

namespace dravonix {

/// Applies a header line of a KEYDEF block to panel. The line must begin
/// with "xres", "minout", "normal jpeg" or "pressed jpeg" (exact case); the
/// one character after the key is skipped, whatever it is, and the value
/// starts after it. A non-zero "xres" number names the panel, the image keys
/// take one word as the image path; "minout" and all other lines change nothing.
void HandleHeaderLine(std::string_view line, SubKeyDefinition& panel);

}  // namespace dravonix
