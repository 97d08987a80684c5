// The test helpers that differ by platform, on POSIX systems: paths are
// bytes, lines end in LF, and commands run through the shell.
#include <sys/wait.h>

#include <cstdlib>

#include "testing/test_util.h"

namespace dravonix {

std::filesystem::path NativePath(const std::string& path) { return path; }

std::string PathString(const std::filesystem::path& path) { return path.native(); }

std::string ConsoleText(std::string_view text) { return std::string(text); }

Xmllint CheckWithXmllint(const std::string& path) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) return Xmllint::kUnavailable;
    const std::string command = "xmllint --noout " + ShellQuote(path) + " 2>/dev/null";
    return std::system(command.c_str()) == 0 ? Xmllint::kWellFormed : Xmllint::kMalformed;
}

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::string& prefix) {
    ScratchDir capture;
    std::string command = "(";
    command.append(prefix).append(" exec ").append(ShellQuote(program));
    for (const std::string& arg : args) command.append(" ").append(ShellQuote(arg));
    command.append(") >").append(ShellQuote(capture / "out"));
    command.append(" 2>").append(ShellQuote(capture / "err")).append(" </dev/null");
    const int status = std::system(command.c_str());
    CommandResult result;
    if (status != -1 && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    result.out = ReadFile(capture / "out");
    result.err = ReadFile(capture / "err");
    return result;
}

void SetInheritedVariable(const std::string& name, const std::string& value) {
    if (value.empty()) {
        ::unsetenv(name.c_str());
    } else {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
}

}  // namespace dravonix
