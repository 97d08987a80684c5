// Command lines of cmd and PowerShell.
#include "platform/shell_words.h"

namespace dravonix {

std::string CommandFileName(std::string_view program) { return std::string(program) + ".exe"; }

std::string QuoteForShell(std::string_view argument) {
    std::string quoted(1, '"');
    quoted.append(argument).push_back('"');
    return quoted;
}

}  // namespace dravonix
