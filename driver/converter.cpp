#include "driver/converter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "check/loss_counter.h"
#include "driver/code_page_option.h"
#include "driver/panel_pipeline.h"
#include "driver/printing.h"
#include "driver/tool.h"
#include "kbd/file_kind.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/file_system.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

constexpr std::string_view kUsage[] = {
    "This tool converts the Vantorel keyboard files (.kbd) to the",
    "new XML-Style keyboard files.",
    "",
    "Syntax: dravonix.exe Inputfile.kbd Outputfile.xml",
};

constexpr std::string_view kHelp[] = {
    "Exit codes: 0 converted; -1 (255) wrong arguments; -2 (254) the conversion failed.",
    "Why a conversion failed is told on standard error. So is what a conversion",
    "dropped (content that is not in the XML file) and what it kept with notes",
    "(content that is there, but changed or naming a sound that is not defined),",
    "with the exit code 0:",
    "  dravonix: warning: pad.kbd: 1 panel and 3 key lines dropped, 4 keys kept",
    "  with notes; 'dravonix-check \"pad.kbd\"' lists them",
    "and an input that holds no keyboard at all (\"no [KEYDEF] block found\"; for",
    "an XML keyboard file: \"this is an XML keyboard file: use dravonix-resave\").",
};

// The size of input from which the conversion takes two threads.
constexpr std::uint64_t kPipelineFrom = 128 * 1024;

// Reads the legacy file and saves it as XML; false when either step fails,
// or when the output is a legacy keyboard file, which is never overwritten
// (the arguments were likely swapped).
bool Convert(const std::string& input, const std::string& output, CodePage page,
             PassReport& report) {
    FileSystem& files = SystemFileSystem();
    std::string start;
    if (files.ReadStartOfFile(output, kKindSniffLength, &start) && HasKeydefLine(start)) {
        report.error = "will not write over '" + output +
                       "': it is a legacy keyboard file (are the arguments swapped?)";
        return false;
    }
    // Nor over the input, by whatever name: it would be gone before it was read.
    const FileInfo read = files.GetFileInfo(input);
    const FileInfo written = files.GetFileInfo(output);
    if (read.kind == FileKind::kFile && written.kind == FileKind::kFile &&
        read.identity == written.identity) {
        report.error = "will not write over '" + output + "': it is the input file";
        return false;
    }
    std::string().swap(start);
    KeyDefDocument document;
    document.code_page = page;
    LossCounter losses;
    std::string error;
    // A large keyboard is written while it is read, each panel once it is
    // complete. A small one is read sooner than a second thread pays off; a
    // device or pipe gets the keyboard at the end, as one piece, and nothing
    // when the read fails.
    std::optional<PanelPipeline> pipeline;
    if (read.size >= kPipelineFrom &&
        (written.kind == FileKind::kFile || written.kind == FileKind::kMissing)) {
        pipeline.emplace(output, page, files);
    }
    const bool was_read =
        pipeline ? ReadKbdFile(input, document.keydef, &losses, &error, files, page, *pipeline)
                 : ReadKbdFile(input, document.keydef, &losses, &error, files, page);
    if (!was_read) {
        report.error = FileFailureMessage("open", input, error);
        return false;
    }
    if (!(pipeline ? pipeline->Finish(document, &report.error)
                   : SaveToFile(document, output, &report.error))) {
        return false;
    }
    WarnAfterSave(report, [&]() -> std::string {
        if (!losses.no_keyboard().empty()) {
            // Only a text without a block has more to say: what it holds.
            return input + ": " + losses.no_keyboard() +
                   (losses.reports() > 1 ? "; " + CheckCommand(input) + " says more" : "");
        }
        const std::string summary = losses.Summary();
        if (summary.empty()) return {};
        return input + ": " + summary + "; " + CheckCommand(input) + " lists them";
    });
    return true;
}

}  // namespace

int RunConverter(int argc, const char* const* argv) {
    CodePageChoice choice;
    const CommandOption options[] = {CodePageOption(choice, true)};
    return RunPassCommand(
        argc, argv,
        {.program = "dravonix",
         .usage = kUsage,
         .help = kHelp,
         .options = options,
         .pass = [&choice](const std::string& input, const std::string& output,
                           PassReport& report) {
             if (!choice.automatic) {
                 return Convert(input, output, ResolveCodePage(choice, "dravonix"), report);
             }
             const CodePage page = GuessFileCodePage(input);
             PrintDiagnostic("dravonix", "note: " + input + ": read in code page " +
                                             std::to_string(page.Number()));
             return Convert(input, output, page, report);
         }});
}

}  // namespace dravonix
