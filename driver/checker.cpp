#include "driver/checker.h"

#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_report.h"
#include "check/input_kind.h"
#include "check/kbd_check.h"
#include "check/xml_check.h"
#include "driver/command_line.h"
#include "platform/com.h"

namespace dravonix {

namespace {

constexpr std::string_view kProgram = "dravonix-check";

void PrintLine(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

constexpr std::string_view kUsage[] = {
    "Usage: dravonix-check [-q] FILE...",
    "Reports what reading each keyboard file drops or changes, one line each:",
    "  FILE:LINE: warning: MESSAGE [kind]",
    "then a summary line per file and one for the run. A file named *.kbd is",
    "read as a legacy keyboard, any other file as an XML keyboard file when it",
    "starts like XML, otherwise as a legacy keyboard.",
    "",
    "  -q, --quiet    print the summary lines only",
    "  -h, --help, /? print this text and exit",
    "      --version  print the version and exit",
    "",
    "Exit status: 0 when every file is clean, 1 when any has warnings, 2 when",
    "any cannot be read.",
};

void PrintUsage(std::FILE* stream) {
    for (std::string_view line : kUsage) PrintLine(stream, line);
}

// "1 file", "3 files".
std::string Count(std::size_t number, std::string_view noun) {
    std::string text = std::to_string(number);
    text.append(" ").append(noun);
    if (number != 1) text.append("s");
    return text;
}

// Checks one file with the reader its name or content asks for; says which
// in *reader.
void CheckFile(const std::string& path, CheckReport& report, std::string_view* reader) {
    if (HasKbdExtension(path)) {
        *reader = ".kbd";
        CheckKbdFile(path, report);
        return;
    }
    std::string bytes;
    std::string error;
    if (!ReadInputFile(path, &bytes, &error)) {
        *reader = "";
        report = CheckReport();
        report.error = "cannot open: " + error;
        return;
    }
    if (ChooseReader(path, bytes) == InputKind::kXml) {
        *reader = "XML";
        CheckXmlMemory(bytes, report);
    } else {
        *reader = ".kbd";
        CheckKbdFile(path, report);
    }
}

}  // namespace

int RunChecker(int argc, const char* const* argv) {
    switch (FindInfoOption(argc, argv)) {
        case InfoOption::kHelp:
            PrintUsage(stdout);
            return 0;
        case InfoOption::kVersion:
            PrintVersion(kProgram);
            return 0;
        case InfoOption::kNone:
            break;
    }
    bool quiet = false;
    std::vector<std::string> files;
    bool options_done = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options_done || arg.size() < 2 || arg[0] != '-') {
            files.emplace_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "-q" || arg == "--quiet") {
            quiet = true;
        } else {
            PrintDiagnostic(kProgram, "unknown option '" + std::string(arg) + "'");
            PrintUsage(stderr);
            return 2;
        }
    }
    if (files.empty()) {
        PrintDiagnostic(kProgram, "no file given");
        PrintUsage(stderr);
        return 2;
    }

    (void)CoInitialize(nullptr);  // cannot fail; the XML reader needs it
    std::size_t clean = 0;
    std::size_t with_warnings = 0;
    std::size_t unreadable = 0;
    for (const std::string& path : files) {
        CheckReport report;
        std::string_view reader;
        try {
            CheckFile(path, report, &reader);
        } catch (const std::bad_alloc&) {
            report = CheckReport();
            report.error = "out of memory";
        }
        if (!report.readable) {
            ++unreadable;
            PrintLine(stderr, FormatReadError(path, report));
            continue;
        }
        if (!quiet) {
            for (const Finding& finding : report.findings) {
                PrintLine(stdout, FormatFinding(path, finding));
            }
        }
        std::string summary = FormatSummary(path, report);
        summary.append(" (read as ").append(reader).append(")");
        PrintLine(stdout, summary);
        if (report.findings.empty()) {
            ++clean;
        } else {
            ++with_warnings;
        }
    }
    CoUninitialize();
    PrintLine(stdout, Count(files.size(), "file") + " checked: " + std::to_string(clean) +
                          " clean, " + std::to_string(with_warnings) + " with warnings, " +
                          std::to_string(unreadable) + " unreadable");
    if (unreadable > 0) return 2;
    return with_warnings > 0 ? 1 : 0;
}

}  // namespace dravonix
