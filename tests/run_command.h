// Runs a built executable through the shell and captures what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testing/test_util.h"

namespace dravonix {

/// What a finished command left behind.
struct CommandResult {
    int exit_code = -1;  // as a shell sees it (0..255), or -1 when it did not exit
    std::string out;     // standard output
    std::string err;     // standard error
};

/// Quotes one argument for the shell.
inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    quoted.push_back('\'');
    return quoted;
}

/// Runs program with args; prefix is shell text put before the command (for
/// example "ulimit -v 100000;").
inline CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                                const std::string& prefix = "") {
    ScratchDir capture;
    std::string command = "(";
    command.append(prefix).append(" exec ").append(ShellQuote(program));
    for (const std::string& arg : args) command.append(" ").append(ShellQuote(arg));
    command.append(") >").append(ShellQuote(capture / "out"));
    command.append(" 2>").append(ShellQuote(capture / "err")).append(" </dev/null");
    int status = std::system(command.c_str());
    CommandResult result;
    if (status != -1 && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    result.out = ReadFile(capture / "out");
    result.err = ReadFile(capture / "err");
    return result;
}

}  // namespace dravonix
