// File patterns on POSIX systems: the shell has expanded them already, and
// a "*" that reaches a program is part of a file's name.
#include "platform/file_patterns.h"

namespace dravonix {

std::vector<std::string> ExpandFilePattern(const std::string& argument) { return {argument}; }

}  // namespace dravonix
