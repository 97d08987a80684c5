// The console half of WriteText on Windows, apart so that tests can stand in
// for the console, which Wine cannot give a program without a display.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace dravonix {

/// Writes up to size UTF-16 units to a console and sets *written to the
/// number written; false on failure. WriteConsoleW, or a test's stand-in.
using ConsoleWrite =
    std::function<bool(const char16_t* units, std::size_t size, std::size_t* written)>;

/// Writes text (UTF-8, lines ending in "\n") through write as a console
/// shows it: UTF-16 with CR LF line ends, a file name's unpaired surrogate as
/// itself and any other malformed byte as U+FFFD; in pieces of at most 8192
/// units, never split inside a surrogate pair. False when a write fails.
bool WriteToConsole(std::string_view text, const ConsoleWrite& write);

}  // namespace dravonix
