// The picture command: dravonix-render INPUT OUTPUT.svg.
#pragma once

namespace dravonix {

/// Runs the picture command with the process arguments; returns the exit
/// code: 0 drawn, -1 wrong arguments, -2 the input could not be read or the
/// picture not saved.
int RunRenderer(int argc, const char* const* argv);

}  // namespace dravonix
