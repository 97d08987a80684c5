// How every command prints: whole lines, each in one write to its stream
// (through platform/console.h, so that a console shows any file name), and
// messages on standard error that start with the program's name.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/console.h"

namespace dravonix {

/// Prints text and a line end on stream in one write, flushed.
void PrintLine(StandardStream stream, std::string_view text);

/// Prints each of lines with a line end on stream in one write, flushed.
void PrintLines(StandardStream stream, std::span<const std::string_view> lines);

/// Prints "PROGRAM: MESSAGE" as one line on standard error.
void PrintDiagnostic(std::string_view program, std::string_view message);

/// Prints "PROGRAM: warning: MESSAGE" as one line on standard error.
void PrintWarning(std::string_view program, std::string_view message);

/// The command that lists what reading file drops or changes, in single
/// quotes, ready to paste into the platform's shell:
/// 'dravonix-check "pad.kbd"' ('dravonix-check.exe "pad.kbd"' on Windows).
std::string CheckCommand(std::string_view file);

}  // namespace dravonix
