// How a command line is written for the platform's shell, so that a command
// a tool suggests ("'dravonix-check "pad.kbd"' lists them") can be pasted as
// it stands.
#pragma once

#include <string>
#include <string_view>

namespace dravonix {

/// The name under which a user runs program: "dravonix-check", on Windows
/// "dravonix-check.exe".
std::string CommandFileName(std::string_view program);

/// argument quoted so that the shell passes it unchanged. POSIX shells: in
/// double quotes, unless it holds a character they still expand there (or
/// that an interactive shell takes for its history: "$", "`", "\", "\"",
/// "!") or a control character; then in single quotes, a single quote
/// written as '\''. Windows: in double quotes, which cmd and PowerShell both
/// take and no Windows file name holds (PowerShell still expands "$" and
/// "`" inside them; cmd has no quotes that would stop it).
std::string QuoteForShell(std::string_view argument);

}  // namespace dravonix
