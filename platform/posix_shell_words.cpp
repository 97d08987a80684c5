// Command lines of POSIX shells (sh, bash, zsh).
#include "platform/shell_words.h"

namespace dravonix {

std::string CommandFileName(std::string_view program) { return std::string(program); }

std::string QuoteForShell(std::string_view argument) {
    bool plain = true;
    for (const char c : argument) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '$' || c == '`' || c == '\\' || c == '"' ||
            c == '!') {
            plain = false;
        }
    }
    std::string quoted(1, plain ? '"' : '\'');
    if (plain) {
        quoted.append(argument).push_back('"');
        return quoted;
    }
    for (const char c : argument) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

}  // namespace dravonix
