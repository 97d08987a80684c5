#include "driver/batcher.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "batch/batch_run.h"
#include "batch/index_page.h"
#include "batch/keyboard_tree.h"
#include "batch/progress_display.h"
#include "check/input_kind.h"
#include "check/json_report.h"
#include "driver/code_page_option.h"
#include "driver/command_line.h"
#include "driver/printing.h"
#include "driver/tool.h"
#include "platform/console.h"
#include "platform/counted_noun.h"
#include "platform/file_system.h"
#include "platform/interrupt.h"
#include "platform/native_text.h"
#include "platform/terminal.h"

namespace dravonix {

namespace {

constexpr std::string_view kProgram = "dravonix-batch";

constexpr std::string_view kUsage[] = {
    "Usage: dravonix-batch [-j N] [-c CP|auto] [--force] [--xml-only] [--no-media]",
    "                      [--single-page] SOURCE_DIR DEST_DIR",
};

constexpr std::string_view kHelp[] = {
    "Converts every legacy keyboard (.kbd, in any letter case) below SOURCE_DIR to",
    "DEST_DIR/<same relative path>.xml, exactly as dravonix does, and writes beside",
    "each its check report (.check.txt) and its preview (.svg), copies the images and",
    "sounds it names to where the XML file finds them, and writes DEST_DIR/index.html,",
    "a page that lists them all, and DEST_DIR/summary.json, the reports for programs",
    "(as dravonix-check --format=json gives them).",
    "",
    "Options:",
    "  -j N            convert N keyboards at a time (default: one per processor)",
    "  --force         convert even keyboards whose outputs are newer than they are",
    "  --xml-only      write the XML files alone (and the index page)",
    "  --no-media      copy no images or sounds",
    "  --single-page   embed the previews and reports in index.html",
    "  -c, --code-page=CP  the code page of the keyboards' text: 874, 1250 to 1258,",
    "                  932, 936, 949, 950 or 65001 (utf-8); also cp1251,",
    "                  windows-1251... Default: on Windows the active code page",
    "                  (1252 when it is none of these), elsewhere 1252. With auto,",
    "                  each keyboard in the one its text reads best in (1252 when",
    "                  unsure), named on standard error, in the summary and the page",
    "  -h, --help, /?  print this text and exit",
    "  --version       print the version and exit",
    "",
    "Exit codes: 0 all converted cleanly (in this run or, when up to date, in an",
    "earlier one); 1 some with warnings; 2 some failed, the source folder holds no",
    "keyboard or cannot be read, or the arguments were wrong; 130 interrupted.",
    "",
    "Files and folders dropped onto dravonix-batch.exe in Explorer are each",
    "converted beside themselves: NAME.kbd into NAME.xml, FOLDER into FOLDER-xml.",
};

struct Arguments {
    std::size_t jobs = 0;  // 0: one per processor
    BatchOptions options;
    bool single_page = false;
};

// Puts the code page the command line chose into the options.
void ApplyCodePage(const CodePageChoice& choice, Arguments& arguments) {
    arguments.options.guess_code_page = choice.automatic;
    if (!choice.automatic) arguments.options.code_page = ResolveCodePage(choice, kProgram);
}

// Reads the value of -j: a number from 1 to 1024.
bool TakeJobs(std::string_view number, std::size_t* jobs, std::string* error) {
    std::size_t value = 0;
    for (char c : number) {
        if (c < '0' || c > '9' || value > 10000) {
            value = 0;
            break;
        }
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    if (value == 0 || value > 1024) {
        *error = "-j needs a number from 1 to 1024, not '" + std::string(number) + "'";
        return false;
    }
    *jobs = value;
    return true;
}

std::string Join(const std::string& folder, const std::string& name) {
    return (folder.ends_with('/') || folder.ends_with('\\') ? folder : folder + "/") + name;
}

// The local time, as the page shows when the run was.
std::string Now() {
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    if (const std::tm* local = std::localtime(&now)) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", local);
    }
    return text;
}

// Gives path the content text through the atomic save; false after saying
// why on standard error.
bool SaveText(FileSystem& files, const std::string& path, std::string_view text) {
    std::string error;
    std::unique_ptr<OutputFile> output = files.StartReplacing(path, &error);
    if (output != nullptr && output->Write(text, &error) && output->Commit(&error)) return true;
    PrintDiagnostic(kProgram, FileFailureMessage("save", path, error));
    return false;
}

int Batch(const Arguments& arguments, const std::string& source, const std::string& dest) {
    FileSystem& files = SystemFileSystem();
    KeyboardTree tree;
    std::string error;
    if (!FindKeyboards(files, source, &tree, &error)) {
        PrintDiagnostic(kProgram, FileFailureMessage("read the folder", source, error));
        return 2;
    }
    if (tree.keyboards.empty() && tree.unreadable.empty()) {
        // Swapped arguments, or the wrong folder: nothing to convert is no success.
        PrintDiagnostic(kProgram, "no keyboard (.kbd file) below '" + source + "'");
        return 2;
    }
    for (const std::string& skipped : tree.skipped) {
        PrintDiagnostic(kProgram, "note: not entered: " + TerminalText(skipped));
    }
    if (!files.MakeFolders(dest, &error)) {
        PrintDiagnostic(kProgram, FileFailureMessage("make the folder", dest, error));
        return 2;
    }
    std::size_t jobs = arguments.jobs;
    if (jobs == 0) jobs = std::max(1u, std::thread::hardware_concurrency());
    ProgressDisplay progress(stderr, IsTerminal(2), tree.keyboards.size() + tree.unreadable.size());
    std::vector<JobResult> unreadable;
    for (const KeyboardTree::Unreadable& place : tree.unreadable) {
        JobResult& result = unreadable.emplace_back();
        result.relative = place.relative;
        result.done = true;
        result.error = place.reason;
        progress.Done(result);
    }
    CatchInterrupts();
    std::vector<JobResult> results = RunBatch(files, source, dest, tree.keyboards,
                                              arguments.options, jobs, progress, Interrupted);
    progress.Finish();
    if (arguments.options.guess_code_page) {
        for (const JobResult& result : results) {
            if (!result.done || result.outcome == JobOutcome::kFailed) continue;
            PrintDiagnostic(kProgram,
                            "note: " + TerminalText(WithNativeSeparators(result.relative)) +
                                ": read in code page " + std::to_string(result.code_page.Number()));
        }
    }
    const std::size_t keyboards_done = static_cast<std::size_t>(std::count_if(
        results.begin(), results.end(), [](const JobResult& result) { return result.done; }));
    results.insert(results.end(), unreadable.begin(), unreadable.end());
    std::sort(results.begin(), results.end(),
              [](const JobResult& a, const JobResult& b) { return a.relative < b.relative; });

    std::size_t clean = 0, warnings = 0, failed = 0, skipped = 0;
    std::size_t copied = 0, current = 0, found = 0, missing = 0, refused = 0;
    for (const JobResult& result : results) {
        if (!result.done) continue;
        if (result.up_to_date) ++skipped;
        switch (result.outcome) {
            case JobOutcome::kClean:
                ++clean;
                break;
            case JobOutcome::kWarnings:
                ++warnings;
                break;
            case JobOutcome::kFailed:
                ++failed;
                break;
        }
        copied += result.media_copied;
        current += result.media_current;
        for (const JobMedia& media : result.media) {
            if (media.state == JobMedia::State::kFound) ++found;
            if (media.state == JobMedia::State::kMissing) ++missing;
            if (media.state == JobMedia::State::kRefused) ++refused;
        }
    }
    const bool interrupted = keyboards_done < tree.keyboards.size();
    PageInfo info;
    info.source = source;
    info.date = Now();
    info.version = std::string(kProgram) + " " + std::string(Version());
    info.xml_only = arguments.options.xml_only;
    info.single_page = arguments.single_page;
    info.code_pages = arguments.options.guess_code_page;
    if (interrupted) {
        info.interrupted = "interrupted: " + std::to_string(keyboards_done) + " of " +
                           CountedNoun(tree.keyboards.size(), "keyboard") +
                           " done; run again to continue";
    }
    const std::string index = Join(dest, kIndexPageName);
    const auto read_output = [&](const std::string& relative) {
        std::string bytes;
        (void)files.ReadWholeFile(Join(dest, relative), SIZE_MAX, &bytes, nullptr);
        return bytes;
    };
    // The same report for programs as dravonix-check --format=json gives; a
    // keyboard the batch could not convert counts as unreadable, with its
    // reason.
    std::vector<FileCheck> checks;
    for (const JobResult& result : results) {
        if (!result.done) continue;
        FileCheck& check = checks.emplace_back();
        check.file = WithNativeSeparators(result.relative);
        if (result.outcome == JobOutcome::kFailed) {
            check.report.error = result.error;
        } else {
            check.report = result.check;
        }
    }
    const bool saved =
        SaveText(files, index, IndexPage(results, info, read_output)) &&
        SaveText(files, Join(dest, kSummaryName), WithNativeLineEnds(FormatJsonReport(checks)));
    std::string summary = CountedNoun(keyboards_done + unreadable.size(), "keyboard") + ": " +
                          std::to_string(clean) + " converted cleanly, " +
                          std::to_string(warnings) + " with warnings, " + std::to_string(failed) +
                          " failed, " + std::to_string(skipped) + " up to date";
    if (found + missing + refused > 0) {
        summary += "; media files: " + std::to_string(copied) + " copied, " +
                   std::to_string(current) + " up to date, " + std::to_string(missing) +
                   " missing, " + std::to_string(refused) + " not copied";
    }
    if (saved) summary += "; see " + index;
    PrintLine(StandardStream::kOutput, summary);
    if (interrupted) {
        PrintDiagnostic(kProgram, info.interrupted);
        return kInterruptedExitCode;
    }
    if (failed != 0 || !saved) return 2;
    return warnings != 0 ? 1 : 0;
}

// The name of the last part of path, without the folder before it.
std::string BaseName(const std::string& path) {
    const std::string folder = FolderOf(path);
    std::string name = path.substr(folder.size());
    while (!name.empty() && (name.front() == '/' || name.front() == '\\')) name.erase(0, 1);
    return name;
}

// One keyboard dropped onto the program: converted beside itself, with its
// report and preview; its media files are found there already.
int ConvertBeside(const Arguments& arguments, const std::string& input) {
    const std::string name = BaseName(input);
    const std::string folder = name.size() == input.size()
                                   ? std::string(".")
                                   : input.substr(0, input.size() - name.size());
    BatchOptions options = arguments.options;
    options.no_media = true;
    JobResult result = RunJob(SystemFileSystem(), folder, folder, name, options);
    PrintLine(StandardStream::kError, ResultLine(result));
    if (result.outcome == JobOutcome::kFailed) return 2;
    PrintLine(StandardStream::kOutput,
              "wrote " + Join(folder, OutputsOf(name).xml) +
                  (options.xml_only ? std::string() : " with its report and preview"));
    return result.outcome == JobOutcome::kWarnings ? 1 : 0;
}

// What was dropped onto the program in Explorer: every argument an input,
// each converted beside itself; the window then waits for a key.
int ConvertDropped(const Arguments& arguments, const std::vector<std::string>& inputs) {
    int code = 0;
    const auto worse = [&code](int other) {
        if (other == kInterruptedExitCode || code == kInterruptedExitCode) {
            code = kInterruptedExitCode;
        } else {
            code = std::max(code, other);
        }
    };
    for (const std::string& input : inputs) {
        if (Interrupted()) break;
        const FileKind kind = SystemFileSystem().GetFileInfo(input).kind;
        if (kind == FileKind::kFolder) {
            std::string folder = input;
            while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) {
                folder.pop_back();
            }
            worse(Batch(arguments, folder, folder + "-xml"));
        } else if (kind == FileKind::kFile && HasKbdExtension(input)) {
            worse(ConvertBeside(arguments, input));
        } else {
            PrintDiagnostic(kProgram, "'" + input + "' is neither a keyboard (.kbd) nor a folder");
            worse(2);
        }
    }
    if (inputs.empty()) {
        PrintLine(StandardStream::kOutput,
                  "Drop keyboard files (.kbd) or folders onto dravonix-batch.exe to convert them.");
    }
    return code;
}

}  // namespace

int RunBatcher(int argc, const char* const* argv) {
    Arguments arguments;
    CodePageChoice code_page;
    const CommandOption options[] = {
        CodePageOption(code_page, true),
        {'j', "", "a number",
         [&arguments](std::string_view number, std::string* error) {
             return TakeJobs(number, &arguments.jobs, error);
         }},
        {0, "force", "",
         [&arguments](std::string_view, std::string*) {
             arguments.options.force = true;
             return true;
         }},
        {0, "xml-only", "",
         [&arguments](std::string_view, std::string*) {
             arguments.options.xml_only = true;
             return true;
         }},
        {0, "no-media", "",
         [&arguments](std::string_view, std::string*) {
             arguments.options.no_media = true;
             return true;
         }},
        {0, "single-page", "",
         [&arguments](std::string_view, std::string*) {
             arguments.single_page = true;
             return true;
         }},
    };
    if (OwnsConsoleWindow()) {
        // Started by Explorer: the arguments are dropped files and folders.
        const int code = RunCommand(argc, argv,
                                    {.program = kProgram,
                                     .usage = kUsage,
                                     .help = kHelp,
                                     .options = options,
                                     .run = [&](const std::vector<std::string>& inputs) {
                                         ApplyCodePage(code_page, arguments);
                                         CatchInterrupts();
                                         return ConvertDropped(arguments, inputs);
                                     }});
        PrintLine(StandardStream::kOutput, "Press any key to close this window.");
        WaitForKey();
        return code;
    }
    return RunCommand(argc, argv,
                      {.program = kProgram,
                       .usage = kUsage,
                       .help = kHelp,
                       .options = options,
                       .min_operands = 2,
                       .max_operands = 2,
                       .wrong_operands = "needs a source folder and a destination folder",
                       .run = [&](const std::vector<std::string>& folders) {
                           ApplyCodePage(code_page, arguments);
                           return Batch(arguments, folders[0], folders[1]);
                       }});
}

}  // namespace dravonix
