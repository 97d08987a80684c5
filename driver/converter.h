// The converter command: dravonix INPUT.kbd OUTPUT.xml.
#pragma once

namespace dravonix {

/// Runs the converter with the process arguments; returns the exit code:
/// 0 converted, -1 wrong number of arguments, -2 conversion failed.
int RunConverter(int argc, const char* const* argv);

}  // namespace dravonix
