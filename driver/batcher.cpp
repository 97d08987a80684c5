#include "driver/batcher.h"

#include <cstdio>
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
#include "driver/command_line.h"
#include "platform/file_system.h"
#include "platform/terminal.h"

namespace dravonix {

namespace {

constexpr std::string_view kProgram = "dravonix-batch";

constexpr std::string_view kUsage =
    "Usage: dravonix-batch [-j N] [--force] [--xml-only] SOURCE_DIR DEST_DIR\n";

constexpr std::string_view kHelp =
    "Converts every legacy keyboard (.kbd, in any letter case) below SOURCE_DIR to\n"
    "DEST_DIR/<same relative path>.xml, exactly as dravonix does, and writes beside\n"
    "each its check report (.check.txt) and its preview (.svg), and DEST_DIR/index.html,\n"
    "a page that lists them all.\n"
    "\n"
    "Options:\n"
    "  -j N            convert N keyboards at a time (default: one per processor)\n"
    "  --force         convert even keyboards whose outputs are newer than they are\n"
    "  --xml-only      write the XML files alone (and the index page)\n"
    "  -h, --help, /?  print this text and exit\n"
    "  --version       print the version and exit\n"
    "\n"
    "Exit codes: 0 all converted cleanly (in this run or, when up to date, in an\n"
    "earlier one); 1 some with warnings; 2 some failed, or the arguments were wrong.\n";

struct Arguments {
    std::size_t jobs = 0;  // 0: one per processor
    BatchOptions options;
    std::vector<std::string> folders;
};

// Reads the arguments; false (after saying why) when they are wrong.
bool ParseArguments(int argc, const char* const* argv, Arguments* arguments) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--force") {
            arguments->options.force = true;
        } else if (argument == "--xml-only") {
            arguments->options.xml_only = true;
        } else if (argument == "-j" || (argument.starts_with("-j") && argument.size() > 2)) {
            std::string_view number = argument.substr(2);
            if (number.empty()) {
                if (++i == argc) {
                    PrintDiagnostic(kProgram, "-j needs a number");
                    return false;
                }
                number = argv[i];
            }
            std::size_t jobs = 0;
            for (char c : number) {
                if (c < '0' || c > '9' || jobs > 10000) {
                    jobs = 0;
                    break;
                }
                jobs = jobs * 10 + static_cast<std::size_t>(c - '0');
            }
            if (jobs == 0 || jobs > 1024) {
                PrintDiagnostic(kProgram, "-j needs a number from 1 to 1024, not '" +
                                              std::string(number) + "'");
                return false;
            }
            arguments->jobs = jobs;
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
            PrintDiagnostic(kProgram, "unknown option '" + std::string(argument) + "'");
            return false;
        } else {
            arguments->folders.emplace_back(argument);
        }
    }
    if (arguments->folders.size() != 2) {
        PrintDiagnostic(kProgram, "needs a source folder and a destination folder");
        return false;
    }
    return true;
}

void PrintText(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

std::string Plural(std::size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

int Batch(const Arguments& arguments) {
    const std::string& source = arguments.folders[0];
    const std::string& dest = arguments.folders[1];
    FileSystem& files = SystemFileSystem();
    KeyboardTree tree;
    std::string error;
    if (!FindKeyboards(files, source, &tree, &error)) {
        PrintDiagnostic(kProgram, FileFailureMessage("read the folder", source, error));
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
    ProgressDisplay progress(stderr, IsTerminal(2), tree.keyboards.size());
    const std::vector<JobResult> results =
        RunBatch(files, source, dest, tree.keyboards, arguments.options, jobs, progress);
    progress.Finish();

    std::size_t clean = 0, warnings = 0, failed = 0, skipped = 0;
    for (const JobResult& result : results) {
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
    }
    const std::string index = (dest.ends_with('/') ? dest : dest + "/") + "index.html";
    const std::string page = IndexPage(results, arguments.options.xml_only);
    std::unique_ptr<OutputFile> output = files.StartReplacing(index, &error);
    const bool saved = output != nullptr && output->Write(page, &error) && output->Commit(&error);
    if (!saved) PrintDiagnostic(kProgram, FileFailureMessage("save", index, error));
    PrintText(stdout, Plural(results.size(), "keyboard") + ": " + std::to_string(clean) +
                          " converted cleanly, " + std::to_string(warnings) + " with warnings, " +
                          std::to_string(failed) + " failed, " + std::to_string(skipped) +
                          " up to date" + (saved ? "; see " + index : std::string()) + "\n");
    if (failed != 0 || !saved) return 2;
    return warnings != 0 ? 1 : 0;
}

}  // namespace

int RunBatcher(int argc, const char* const* argv) {
    switch (FindInfoOption(argc, argv)) {
        case InfoOption::kHelp:
            PrintText(stdout, kUsage);
            PrintText(stdout, kHelp);
            return 0;
        case InfoOption::kVersion:
            PrintVersion(kProgram);
            return 0;
        case InfoOption::kNone:
            break;
    }
    try {
        Arguments arguments;
        if (!ParseArguments(argc, argv, &arguments)) {
            PrintText(stderr, kUsage);
            return 2;
        }
        return Batch(arguments);
    } catch (const std::bad_alloc&) {
        PrintDiagnostic(kProgram, "out of memory");
        return 2;
    }
}

}  // namespace dravonix
