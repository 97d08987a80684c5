// The frame every command runs in: the information options, the parsing of
// options and operands, the usage text when they are wrong, the COM runtime,
// running out of memory, and the exit codes, in one of two styles. A command
// declares what it takes and does its work; the frame does the rest.
//
// An option is declared once, in the command's Run function, with the code
// that takes its value:
//
//     const CommandOption options[] = {
//         {'q', "quiet", "", [&](std::string_view, std::string*) { quiet = true; return true; }},
//     };
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/command_line.h"

namespace dravonix {

/// How a command says that its arguments are wrong or that it failed.
enum class CommandStyle {
    /// The converters' fixed texts: a banner and the usage lines on standard
    /// output and -1 for wrong arguments; the banner and "[EE] An error
    /// occured while converting keyboard file" and -2 for a failure.
    kBanner,
    /// GNU style: the usage lines on standard error and 2 for wrong
    /// arguments; 2 for a failure.
    kGnu,
};

/// A command as the frame runs it.
struct Command {
    std::string_view program = {};
    CommandStyle style = CommandStyle::kGnu;
    /// The usage text's lines: printed for wrong arguments and before the
    /// help (in the banner style, after the banner).
    std::span<const std::string_view> usage = {};
    /// The lines --help adds after the usage: the options every command of
    /// a kind takes, then the command's own.
    std::span<const std::string_view> common_help = {};
    std::span<const std::string_view> help = {};
    std::span<const CommandOption> options = {};
    std::size_t min_operands = 0;
    std::size_t max_operands = std::numeric_limits<std::size_t>::max();
    /// GNU style: what standard error says when the count of operands is
    /// wrong (the banner style says nothing there).
    std::string_view wrong_operands = {};
    /// The operands are files, and may be patterns such as "*.kbd", which
    /// the frame expands where the shell does not (platform/file_patterns.h).
    bool file_patterns = false;
    /// The work, given the operands; returns the exit code. May throw
    /// std::bad_alloc, which the frame reports as a failure.
    std::function<int(const std::vector<std::string>& operands)> run = {};
};

/// Runs command with the process arguments and returns its exit code.
/// A single --help (-h, /?) prints the usage and help lines on standard
/// output and returns 0; a single --version prints "PROGRAM VERSION" and
/// returns 0. Otherwise, with the COM runtime started: an unknown option, a
/// missing or wrong value (one line on standard error naming it) or a count
/// of operands out of range gives the usage text and the style's code for
/// wrong arguments; else run's code. Running out of memory is a failure
/// ("PROGRAM: out of memory").
int RunCommand(int argc, const char* const* argv, const Command& command);

/// Says on the command's terms that its work failed, with reason (when not
/// empty) as "PROGRAM: REASON" on standard error; returns the exit code.
int ReportFailure(const Command& command, std::string_view reason);

/// What a pass tells the user besides its outcome, each a line for standard
/// error without the program's name.
struct PassReport {
    std::string error;    // why the pass failed
    std::string warning;  // what a successful pass dropped or changed
};

/// One pass of a banner-style command: reads input and writes output; false
/// on failure, with the reason in report.error.
using ToolPass =
    std::function<bool(const std::string& input, const std::string& output, PassReport& report)>;

/// A banner-style command of two operands, INPUT and OUTPUT.
struct PassCommand {
    std::string_view program;
    std::span<const std::string_view> usage = {};  // after the banner
    /// What --help adds after the usage and the options every pass command
    /// takes.
    std::span<const std::string_view> help = {};
    std::span<const CommandOption> options = {};
    ToolPass pass = {};
};

/// Runs a pass command as RunCommand does, with exactly two operands: a
/// failed pass (std::bad_alloc included) prints the error text and its
/// reason and returns -2; a pass that succeeded prints its warning, if any,
/// as "PROGRAM: warning: ..." and returns 0.
int RunPassCommand(int argc, const char* const* argv, const PassCommand& command);

/// Sets report.warning to what make_warning returns. For the step after a
/// successful save, which only a warning may follow: running out of memory
/// there costs the warning, never the success.
template <class MakeWarning>
void WarnAfterSave(PassReport& report, MakeWarning make_warning) {
    try {
        report.warning = make_warning();
    } catch (const std::bad_alloc&) {
        report.warning.clear();
    }
}

}  // namespace dravonix
