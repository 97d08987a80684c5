// File names given as patterns on the command line ("*.kbd"), which a POSIX
// shell expands before a program starts but neither cmd nor PowerShell does.
#pragma once

#include <string>
#include <vector>

namespace dravonix {

/// The files a command-line argument names. On POSIX systems, whose shells
/// expand patterns, the argument itself. On Windows, an argument whose last
/// part holds "*" or "?" names the files (not folders) in its folder whose
/// names match that part ("*" any run of characters, "?" any one, letter
/// case aside), in the order of their names, each with the argument's
/// folder part; an argument without a pattern, or whose pattern matches no
/// file, stays as it is (so that the command can say it cannot open it).
std::vector<std::string> ExpandFilePattern(const std::string& argument);

}  // namespace dravonix
