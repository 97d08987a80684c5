// Writing a command's texts to its standard output and standard error, so
// that every character reaches the user intact: a Windows console shows
// UTF-16, not the bytes of a code page.
#pragma once

#include <string_view>

namespace dravonix {

/// The two streams a command writes its texts to.
enum class StandardStream { kOutput, kError };

/// Writes text (UTF-8, lines ending in "\n") to stream in one piece and
/// flushes it, so that the lines of the two streams keep their order where
/// they share a console. A Windows console gets the text as UTF-16, with
/// CR LF line ends (a malformed byte shows as U+FFFD); a pipe, a file and
/// every stream on POSIX systems get the bytes, with CR LF line ends on
/// Windows, as its C run-time writes text. Failures to write are ignored, as
/// a command has nowhere else to report them.
void WriteText(StandardStream stream, std::string_view text);

/// True when the program has a console window of its own, as when Explorer
/// starts it for files dropped onto it or a double-click: Windows'
/// GetConsoleProcessList names this process alone. False on POSIX systems
/// and for a program started from a prompt, whose console it shares. The
/// environment variable DRAVONIX_CONSOLE_OWNER, "1" or "0", gives the
/// answer instead (a seam for tests).
bool OwnsConsoleWindow();

/// Waits until a key is pressed in the console, or, where standard input is
/// no console, until a byte or the end of standard input is read.
void WaitForKey();

}  // namespace dravonix
