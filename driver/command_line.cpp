#include "driver/command_line.h"

#include <cstdio>
#include <string>

namespace dravonix {

namespace {

// Writes the pieces and a line end to stream in one write, then flushes it,
// so that lines of the two streams keep their order on a shared console.
void PrintLine(std::FILE* stream, std::initializer_list<std::string_view> pieces) {
    std::string line;
    for (std::string_view piece : pieces) line.append(piece);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

}  // namespace

std::string_view Version() { return DRAVONIX_VERSION; }

InfoOption FindInfoOption(int argc, const char* const* argv) {
    if (argc != 2) return InfoOption::kNone;
    const std::string_view argument = argv[1];
    if (argument == "--help" || argument == "-h" || argument == "/?") return InfoOption::kHelp;
    if (argument == "--version") return InfoOption::kVersion;
    return InfoOption::kNone;
}

void PrintVersion(std::string_view program) { PrintLine(stdout, {program, " ", Version()}); }

void PrintDiagnostic(std::string_view program, std::string_view message) {
    PrintLine(stderr, {program, ": ", message});
}

void PrintWarning(std::string_view program, std::string_view message) {
    PrintLine(stderr, {program, ": warning: ", message});
}

}  // namespace dravonix
