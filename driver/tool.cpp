#include "driver/tool.h"

#include <new>
#include <string>

#include "driver/printing.h"
#include "platform/com.h"
#include "platform/file_patterns.h"

namespace dravonix {

namespace {

/// The four lines every banner-style text starts with.
constexpr std::string_view kBanner[] = {
    "",
    "Vantorel Keyboard Definition File Converter v1.0",
    "-------------------------------------------------",
    "",
};

/// What --help says of the options every banner-style command takes, between
/// its usage and its own help lines.
constexpr std::string_view kPassOptions[] = {
    "",
    "Options:",
    "  -h, --help, /?   print this text and exit",
    "  --version        print the version and exit",
    "  -c, --code-page=CP  the code page of the keyboard's text: 874, 1250 to 1258,",
    "                   932, 936, 949, 950 or 65001 (utf-8); also cp1251,",
    "                   windows-1251... Default: on Windows the active code page",
    "                   (1252 when it is none of these), elsewhere 1252. dravonix",
    "                   also takes auto: the code page the file reads best in",
    "                   (1252 when unsure), named on standard error",
    "",
};

/// The COM runtime for as long as a command runs; its models are gone before
/// it ends.
class ComScope {
public:
    ComScope() { (void)CoInitialize(nullptr); }  // cannot fail; S_FALSE: started already
    ~ComScope() { CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

/// Prints the usage text on the stream the style asks for.
void PrintUsage(const Command& command, StandardStream stream) {
    if (command.style == CommandStyle::kBanner) PrintLines(stream, kBanner);
    PrintLines(stream, command.usage);
}

/// Says that the arguments are wrong; returns the exit code.
int ReportWrongArguments(const Command& command) {
    if (command.style == CommandStyle::kBanner) {
        PrintUsage(command, StandardStream::kOutput);
        return -1;
    }
    PrintUsage(command, StandardStream::kError);
    return 2;
}

/// The operands with every file pattern among them expanded.
std::vector<std::string> ExpandPatterns(const std::vector<std::string>& operands) {
    std::vector<std::string> files;
    for (const std::string& operand : operands) {
        for (std::string& file : ExpandFilePattern(operand)) files.push_back(std::move(file));
    }
    return files;
}

int ParseAndRun(int argc, const char* const* argv, const Command& command) {
    std::vector<std::string> operands;
    std::string error;
    if (!ParseCommandLine(argc, argv, command.options, &operands, &error)) {
        PrintDiagnostic(command.program, error);
        return ReportWrongArguments(command);
    }
    if (operands.size() < command.min_operands || operands.size() > command.max_operands) {
        if (command.style == CommandStyle::kGnu && !command.wrong_operands.empty()) {
            PrintDiagnostic(command.program, command.wrong_operands);
        }
        return ReportWrongArguments(command);
    }
    if (command.file_patterns) operands = ExpandPatterns(operands);
    return command.run(operands);
}

}  // namespace

int RunCommand(int argc, const char* const* argv, const Command& command) {
    try {
        switch (FindInfoOption(argc, argv)) {
            case InfoOption::kHelp:
                PrintUsage(command, StandardStream::kOutput);
                PrintLines(StandardStream::kOutput, command.common_help);
                PrintLines(StandardStream::kOutput, command.help);
                return 0;
            case InfoOption::kVersion:
                PrintLine(StandardStream::kOutput,
                          std::string(command.program) + " " + std::string(Version()));
                return 0;
            case InfoOption::kNone:
                break;
        }
        const ComScope com;
        return ParseAndRun(argc, argv, command);
    } catch (const std::bad_alloc&) {
        return ReportFailure(command, "out of memory");
    }
}

int ReportFailure(const Command& command, std::string_view reason) {
    if (command.style == CommandStyle::kBanner) {
        PrintLines(StandardStream::kOutput, kBanner);
        PrintLine(StandardStream::kOutput, "[EE] An error occured while converting keyboard file");
    }
    if (!reason.empty()) PrintDiagnostic(command.program, reason);
    return command.style == CommandStyle::kBanner ? -2 : 2;
}

int RunPassCommand(int argc, const char* const* argv, const PassCommand& pass_command) {
    Command command{.program = pass_command.program,
                    .style = CommandStyle::kBanner,
                    .usage = pass_command.usage,
                    .common_help = kPassOptions,
                    .help = pass_command.help,
                    .options = pass_command.options,
                    .min_operands = 2,
                    .max_operands = 2};
    command.run = [&](const std::vector<std::string>& operands) {
        PassReport report;
        bool done = false;
        try {
            done = pass_command.pass(operands[0], operands[1], report);
        } catch (const std::bad_alloc&) {
            report.error = "out of memory";
        }
        if (!done) return ReportFailure(command, report.error);
        if (!report.warning.empty()) PrintWarning(command.program, report.warning);
        return 0;
    };
    return RunCommand(argc, argv, command);
}

}  // namespace dravonix
