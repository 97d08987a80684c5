// The console half of WriteText on Windows, apart so that tests can write
// into a console screen buffer of their own.
#pragma once

#include <string_view>

namespace dravonix {

/// Writes text (UTF-8, lines ending in "\n") to console, a handle of a
/// console screen buffer, as UTF-16 with CR LF line ends: a file name's
/// unpaired surrogate as itself, any other malformed byte as U+FFFD. False
/// when console is no console or the write fails.
bool WriteToConsole(void* console, std::string_view text);

}  // namespace dravonix
