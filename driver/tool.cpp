#include "driver/tool.h"

#include <cstdio>
#include <new>

#include "driver/command_line.h"
#include "platform/com.h"

namespace dravonix {

namespace {

void PrintLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The four lines every text starts with.
void PrintBanner() {
    PrintLine("");
    PrintLine("Vantorel Keyboard Definition File Converter v1.0");
    PrintLine("-------------------------------------------------");
    PrintLine("");
}

void PrintUsage(const ToolCommand& command) {
    PrintBanner();
    for (std::string_view line : command.usage_lines) PrintLine(line);
}

}  // namespace

int RunTool(int argc, const char* const* argv, const ToolCommand& command) {
    switch (FindInfoOption(argc, argv)) {
        case InfoOption::kHelp:
            PrintUsage(command);
            for (std::string_view line : command.help_lines) PrintLine(line);
            return 0;
        case InfoOption::kVersion:
            PrintVersion(command.program);
            return 0;
        case InfoOption::kNone:
            break;
    }
    (void)CoInitialize(nullptr);  // cannot fail; S_FALSE would only say it was started already
    if (argc != 3) {
        PrintUsage(command);
        CoUninitialize();
        return -1;
    }
    bool done = false;
    PassReport report;
    try {
        done = command.pass(argv[1], argv[2], report);  // its model is gone before CoUninitialize
    } catch (const std::bad_alloc&) {
        done = false;
        report.error = "out of memory";
    }
    if (!done) {
        PrintBanner();
        PrintLine("[EE] An error occured while converting keyboard file");
        if (!report.error.empty()) PrintDiagnostic(command.program, report.error);
    } else if (!report.warning.empty()) {
        PrintWarning(command.program, report.warning);
    }
    CoUninitialize();
    return done ? 0 : -2;
}

}  // namespace dravonix
