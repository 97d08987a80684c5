// The frame both command-line tools share: arguments, console texts, exit
// codes and the COM runtime around one pass of work.
#pragma once

#include <initializer_list>
#include <string_view>

namespace dravonix {

/// One pass of a tool: reads input and writes output; false on failure.
using ToolPass = bool (*)(const char* input, const char* output);

/// Starts the COM runtime, checks that there are exactly two arguments (else
/// prints the banner and then usage_lines, and returns -1), runs pass
/// (std::bad_alloc counts as a failure), prints the error text and returns -2
/// when it failed, and stops the runtime. Returns 0 on success, printing
/// nothing. Everything goes to standard output, each line flushed.
int RunTool(int argc, const char* const* argv, std::initializer_list<std::string_view> usage_lines,
            ToolPass pass);

}  // namespace dravonix
