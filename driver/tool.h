// The frame the two converting commands share: arguments, console texts,
// exit codes and the COM runtime around one pass of work.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace dravonix {

/// What a pass tells the user besides its outcome, each a line for standard
/// error without the program's name.
struct PassReport {
    std::string error;    // why the pass failed
    std::string warning;  // what a successful pass dropped or changed
};

/// One pass of a tool: reads input and writes output; false on failure.
using ToolPass = bool (*)(const char* input, const char* output, PassReport& report);

/// A command: its name, the lines of its usage text after the banner, the
/// lines its help adds, and its pass.
struct ToolCommand {
    std::string_view program;
    std::initializer_list<std::string_view> usage_lines;
    std::initializer_list<std::string_view> help_lines;
    ToolPass pass;
};

/// Starts the COM runtime and runs command with the process arguments:
/// --help (-h, /?) prints the banner, the usage lines and the help lines and
/// returns 0; --version prints the name and version and returns 0; any other
/// count than two arguments prints the banner and the usage lines and returns
/// -1. Otherwise runs the pass (std::bad_alloc counts as a failure); when it
/// failed, prints the error text and returns -2, else returns 0. The texts go
/// to standard output, each line flushed; the pass's error or warning goes to
/// standard error as "PROGRAM: ..." or "PROGRAM: warning: ...".
int RunTool(int argc, const char* const* argv, const ToolCommand& command);

}  // namespace dravonix
