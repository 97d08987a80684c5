// The resave command: dravonix-resave INPUT.xml OUTPUT.xml.
#pragma once

namespace dravonix {

/// Reads an XML keyboard file and saves it again; returns the exit code:
/// 0 saved, -1 wrong number of arguments, -2 the input could not be read as a
/// keyboard file or the output could not be saved.
int RunResaver(int argc, const char* const* argv);

}  // namespace dravonix
