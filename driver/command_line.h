// What every command of the project shares on its command line: the
// information options and the form of its messages on standard error.
#pragma once

#include <string_view>

namespace dravonix {

/// The project's version, such as "1.0.0".
std::string_view Version();

/// What an information option asks for.
enum class InfoOption { kNone, kHelp, kVersion };

/// The information option the arguments hold: a single argument "--help",
/// "-h" or "/?" asks for help, a single "--version" for the version (the GNU
/// conventions, and the Windows habit). Anything else is kNone.
InfoOption FindInfoOption(int argc, const char* const* argv);

/// Prints "PROGRAM VERSION" on standard output, the first line GNU tools give.
void PrintVersion(std::string_view program);

/// Prints "PROGRAM: MESSAGE" as one line on standard error.
void PrintDiagnostic(std::string_view program, std::string_view message);

/// Prints "PROGRAM: warning: MESSAGE" as one line on standard error.
void PrintWarning(std::string_view program, std::string_view message);

}  // namespace dravonix
