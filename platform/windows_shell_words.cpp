// Command lines of cmd and PowerShell.
#include "platform/shell_words.h"

namespace dravonix {

namespace {

std::string DoubleQuoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

}  // namespace

std::string CommandFileName(std::string_view program) { return std::string(program) + ".exe"; }

std::string QuoteForShell(std::string_view argument) { return DoubleQuoted(argument); }

}  // namespace dravonix
