#include "driver/checker.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_file.h"
#include "check/check_report.h"
#include "driver/printing.h"
#include "driver/tool.h"
#include "platform/console.h"
#include "platform/counted_noun.h"

namespace dravonix {

namespace {

constexpr std::string_view kUsage[] = {
    "Usage: dravonix-check [-q] FILE...",
    "Reports what reading each keyboard file drops or changes, one line each:",
    "  FILE:LINE: warning: MESSAGE [kind]",
    "then a summary line per file and one for the run. A file named *.kbd, or",
    "one with a [KEYDEF] line, is read as a legacy keyboard; any other file as",
    "an XML keyboard file when it is named *.xml or starts like XML, otherwise",
    "as a legacy keyboard.",
    "",
    "  -q, --quiet    print the summary lines only",
    "  -h, --help, /? print this text and exit",
    "      --version  print the version and exit",
    "",
    "Exit status: 0 when every file is clean, 1 when any has warnings, 2 when",
    "any cannot be read.",
    "",
    "Files dropped onto dravonix-check.exe in Explorer are checked, and the window",
    "stays open until a key is pressed.",
};

// Checks each file and prints its findings (unless quiet), its summary, and
// the run's summary; returns the exit code.
int CheckFiles(const std::vector<std::string>& files, bool quiet) {
    std::size_t clean = 0;
    std::size_t with_warnings = 0;
    std::size_t unreadable = 0;
    for (const std::string& path : files) {
        CheckReport report;
        InputKind kind = InputKind::kKbd;
        try {
            kind = CheckFile(path, report);
        } catch (const std::bad_alloc&) {
            report = CheckReport();
            report.error = "out of memory";
        }
        if (!report.readable) {
            ++unreadable;
            PrintLine(StandardStream::kError, FormatReadError(path, report));
            continue;
        }
        if (quiet) {
            PrintLine(StandardStream::kOutput, FormatSummary(path, report) + " (read as " +
                                                   std::string(ReaderName(kind)) + ")");
        } else {
            WriteText(StandardStream::kOutput, FormatFileReport(path, report, ReaderName(kind)));
        }
        if (report.findings.empty()) {
            ++clean;
        } else {
            ++with_warnings;
        }
    }
    PrintLine(StandardStream::kOutput, CountedNoun(files.size(), "file") +
                                           " checked: " + std::to_string(clean) + " clean, " +
                                           std::to_string(with_warnings) + " with warnings, " +
                                           std::to_string(unreadable) + " unreadable");
    if (unreadable > 0) return 2;
    return with_warnings > 0 ? 1 : 0;
}

}  // namespace

int RunChecker(int argc, const char* const* argv) {
    bool quiet = false;
    const CommandOption options[] = {
        {'q', "quiet", "",
         [&quiet](std::string_view, std::string*) {
             quiet = true;
             return true;
         }},
    };
    const int code = RunCommand(argc, argv,
                                {.program = "dravonix-check",
                                 .usage = kUsage,
                                 .options = options,
                                 .min_operands = 1,
                                 .wrong_operands = "no file given",
                                 .file_patterns = true,
                                 .run = [&quiet](const std::vector<std::string>& files) {
                                     return CheckFiles(files, quiet);
                                 }});
    if (OwnsConsoleWindow()) {
        // Started by Explorer for files dropped onto it: the findings stay on
        // screen until the user has read them.
        PrintLine(StandardStream::kOutput, "Press any key to close this window.");
        WaitForKey();
    }
    return code;
}

}  // namespace dravonix
