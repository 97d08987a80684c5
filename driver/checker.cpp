#include "driver/checker.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "batch/keyboard_tree.h"
#include "batch/progress_display.h"
#include "check/check_file.h"
#include "check/check_report.h"
#include "check/json_report.h"
#include "check/report_text.h"
#include "driver/code_page_option.h"
#include "driver/printing.h"
#include "driver/tool.h"
#include "platform/console.h"
#include "platform/file_system.h"

namespace dravonix {

namespace {

constexpr std::string_view kProgram = "dravonix-check";

constexpr std::string_view kUsage[] = {
    "Usage: dravonix-check [-q] [-c CP] [--format=text|json] FILE|FOLDER...",
    "Reports what reading each keyboard file drops or changes, one line each:",
    "  FILE:LINE: warning: MESSAGE [kind]",
    "(a message repeated for one kind is given once, with its count and lines),",
    "then a summary line per file, which tells what was dropped and what was kept",
    "with notes, and one for the run. A FOLDER stands for the legacy keyboards",
    "(*.kbd) below it, as dravonix-batch finds them. A file named *.kbd, or one",
    "with a [KEYDEF] line, is read as a legacy keyboard; any other file as an XML",
    "keyboard file when it is named *.xml or starts like XML, otherwise as a",
    "legacy keyboard.",
    "",
    "  -q, --quiet        print the summary lines only",
    "  -c, --code-page=CP the code page of the keyboards' text: 874, 1250 to 1258,",
    "                     932, 936, 949, 950 or 65001 (utf-8); also cp1251,",
    "                     windows-1251... Default: on Windows the active code",
    "                     page (1252 when it is none of these), elsewhere 1252.",
    "                     A file that reads much better in another code page",
    "                     gets a note naming it: FILE: note: ... [code-page]",
    "      --format=json  print one JSON document: an object per file with its",
    "                     findings and counts, and the run's summary",
    "  -h, --help, /?     print this text and exit",
    "      --version      print the version and exit",
    "",
    "Exit status: 0 when every file is clean, 1 when any has warnings, 2 when",
    "any cannot be read.",
    "",
    "Files and folders dropped onto dravonix-check.exe in Explorer are checked, and",
    "the window stays open until a key is pressed.",
};

struct Arguments {
    bool quiet = false;
    bool json = false;
    CodePageChoice code_page;
};

std::string Join(const std::string& folder, const std::string& relative) {
    if (folder.ends_with('/') || folder.ends_with('\\')) return folder + relative;
    return folder + "/" + relative;
}

// A report of a file that could not be checked at all.
FileCheck Unreadable(const std::string& file, std::string error) {
    FileCheck check{file, CheckReport()};
    check.report.error = std::move(error);
    return check;
}

// The files an operand stands for: itself, or the legacy keyboards below a
// folder (a folder that cannot be walked, or holds none, stands for a report
// that says so). Places not entered are named on standard error.
std::vector<std::string> ExpandOperand(const std::string& operand, std::vector<FileCheck>* failed) {
    FileSystem& files = SystemFileSystem();
    if (files.GetFileInfo(operand).kind != FileKind::kFolder) return {operand};
    KeyboardTree tree;
    std::string error;
    if (!FindKeyboards(files, operand, &tree, &error)) {
        failed->push_back(Unreadable(operand, "cannot read the folder: " + error));
        return {};
    }
    for (const std::string& skipped : tree.skipped) {
        PrintDiagnostic(kProgram, "note: not entered: " + TerminalText(Join(operand, skipped)));
    }
    for (const KeyboardTree::Unreadable& place : tree.unreadable) {
        failed->push_back(Unreadable(Join(operand, place.relative), place.reason));
    }
    if (tree.keyboards.empty() && tree.unreadable.empty()) {
        failed->push_back(Unreadable(operand, "no legacy keyboard (*.kbd) in the folder"));
    }
    std::vector<std::string> paths;
    paths.reserve(tree.keyboards.size());
    for (const std::string& relative : tree.keyboards) paths.push_back(Join(operand, relative));
    return paths;
}

// Checks one file; running out of memory makes it unreadable.
FileCheck Check(const std::string& path, CodePage page) {
    FileCheck check{path, CheckReport()};
    try {
        CheckFile(path, check.report, SystemFileSystem(), page);
    } catch (const std::bad_alloc&) {
        check = Unreadable(path, "out of memory");
    }
    return check;
}

// Checks the files the operands stand for and prints the reports: as text,
// each as soon as it is made, or as one JSON document at the end. Unreadable
// files are named on standard error either way. Returns the exit status.
int CheckFiles(const std::vector<std::string>& operands, const Arguments& arguments) {
    const CodePage page = ResolveCodePage(arguments.code_page, kProgram);
    RunTally run;
    std::vector<FileCheck> kept;  // for the JSON document
    const auto report = [&](FileCheck check) {
        run.Add(check.report);
        if (!arguments.json) {
            WriteText(check.report.readable ? StandardStream::kOutput : StandardStream::kError,
                      FormatCheckReport(check.file, check.report, arguments.quiet));
            return;
        }
        if (!check.report.readable) {
            PrintLine(StandardStream::kError, FormatReadError(check.file, check.report));
        }
        kept.push_back(std::move(check));
    };
    for (const std::string& operand : operands) {
        std::vector<FileCheck> failed;
        for (const std::string& path : ExpandOperand(operand, &failed)) report(Check(path, page));
        for (FileCheck& check : failed) report(std::move(check));
    }
    if (arguments.json) {
        WriteText(StandardStream::kOutput, FormatJsonReport(kept));
    } else {
        PrintLine(StandardStream::kOutput, FormatRunSummary(run));
    }
    return run.ExitStatus();
}

}  // namespace

int RunChecker(int argc, const char* const* argv) {
    Arguments arguments;
    const CommandOption options[] = {
        CodePageOption(arguments.code_page),
        {'q', "quiet", "",
         [&arguments](std::string_view, std::string*) {
             arguments.quiet = true;
             return true;
         }},
        {0, "format", "text or json",
         [&arguments](std::string_view format, std::string* error) {
             if (format != "text" && format != "json") {
                 *error = "--format needs text or json, not '" + std::string(format) + "'";
                 return false;
             }
             arguments.json = format == "json";
             return true;
         }},
    };
    const int code = RunCommand(argc, argv,
                                {.program = kProgram,
                                 .usage = kUsage,
                                 .options = options,
                                 .min_operands = 1,
                                 .wrong_operands = "no file given",
                                 .file_patterns = true,
                                 .run = [&arguments](const std::vector<std::string>& operands) {
                                     return CheckFiles(operands, arguments);
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
