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
#include "driver/printing.h"
#include "driver/tool.h"
#include "platform/counted_noun.h"
#include "platform/file_system.h"
#include "platform/terminal.h"

namespace dravonix {

namespace {

constexpr std::string_view kProgram = "dravonix-batch";

constexpr std::string_view kUsage[] = {
    "Usage: dravonix-batch [-j N] [--force] [--xml-only] SOURCE_DIR DEST_DIR",
};

constexpr std::string_view kHelp[] = {
    "Converts every legacy keyboard (.kbd, in any letter case) below SOURCE_DIR to",
    "DEST_DIR/<same relative path>.xml, exactly as dravonix does, and writes beside",
    "each its check report (.check.txt) and its preview (.svg), and DEST_DIR/index.html,",
    "a page that lists them all.",
    "",
    "Options:",
    "  -j N            convert N keyboards at a time (default: one per processor)",
    "  --force         convert even keyboards whose outputs are newer than they are",
    "  --xml-only      write the XML files alone (and the index page)",
    "  -h, --help, /?  print this text and exit",
    "  --version       print the version and exit",
    "",
    "Exit codes: 0 all converted cleanly (in this run or, when up to date, in an",
    "earlier one); 1 some with warnings; 2 some failed, or the arguments were wrong.",
};

struct Arguments {
    std::size_t jobs = 0;  // 0: one per processor
    BatchOptions options;
};

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

int Batch(const Arguments& arguments, const std::string& source, const std::string& dest) {
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
    PrintLine(StandardStream::kOutput,
              CountedNoun(results.size(), "keyboard") + ": " + std::to_string(clean) +
                  " converted cleanly, " + std::to_string(warnings) + " with warnings, " +
                  std::to_string(failed) + " failed, " + std::to_string(skipped) + " up to date" +
                  (saved ? "; see " + index : std::string()));
    if (failed != 0 || !saved) return 2;
    return warnings != 0 ? 1 : 0;
}

}  // namespace

int RunBatcher(int argc, const char* const* argv) {
    Arguments arguments;
    const CommandOption options[] = {
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
    };
    return RunCommand(argc, argv,
                      {.program = kProgram,
                       .usage = kUsage,
                       .help = kHelp,
                       .options = options,
                       .min_operands = 2,
                       .max_operands = 2,
                       .wrong_operands = "needs a source folder and a destination folder",
                       .run = [&arguments](const std::vector<std::string>& folders) {
                           return Batch(arguments, folders[0], folders[1]);
                       }});
}

}  // namespace dravonix
