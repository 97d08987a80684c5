#include "driver/renderer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "check/input_kind.h"
#include "check/kbd_check.h"
#include "driver/code_page_option.h"
#include "driver/picture_pipeline.h"
#include "driver/tool.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/file_system.h"
#include "render/keyboard_svg.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

constexpr std::string_view kUsage[] = {
    "This tool draws a keyboard file (.kbd or XML) as an SVG picture.",
    "",
    "Syntax: dravonix-render Inputfile Outputfile.svg",
};

constexpr std::string_view kHelp[] = {
    "The input is read as a legacy .kbd file when its name ends in .kbd or one of its",
    "lines opens a [KEYDEF] block; else as XML when its name ends in .xml or its text",
    "starts with '<'; else as a legacy file. Panel images are looked up beside the input.",
    "",
    "Exit codes: 0 drawn; -1 (255) wrong arguments; -2 (254) reading or saving failed.",
    "Why it failed is told on standard error.",
};

// The size of a legacy input from which the picture takes two threads.
constexpr std::uint64_t kPipelineFrom = 128 * 1024;

/// Reads the keyboard at input (legacy or XML, by the rule of
/// check/input_kind.h) and saves its picture under output; images are looked
/// up beside the input. False with the reason in report.error when either
/// step fails.
bool Render(const std::string& input, const std::string& output, CodePage page,
            PassReport& report) {
    KeyDefDocument document;
    document.code_page = page;
    CheckReport check;  // of a legacy file, for the image paths it cut
    if (InputKindOf(input) == InputKind::kXml) {
        if (LoadKeyboardFile(input, document, &report.error) != KeyboardLoad::kLoaded) {
            return false;
        }
    } else {
        FileSystem& files = SystemFileSystem();
        KbdFindingCollector findings(check, page);
        // A large keyboard is drawn while it is read, each panel once it is
        // complete; a small one is read sooner than a second thread pays off.
        std::optional<PicturePipeline> pipeline;
        if (files.GetFileInfo(input).size >= kPipelineFrom) {
            pipeline.emplace(FolderOf(input), check.cut_images, page, files);
        }
        std::string error;
        const bool was_read =
            pipeline
                ? ReadKbdFile(input, document.keydef, &findings, &error, files, page, *pipeline)
                : ReadKbdFile(input, document.keydef, &findings, &error, files, page);
        if (!was_read) {
            report.error = FileFailureMessage("open", input, error);
            return false;
        }
        if (pipeline) return pipeline->Finish(document.keydef, output, &report.error);
    }
    return SaveKeyboardSvg(document.keydef, FolderOf(input), output, &report.error,
                           SystemFileSystem(), check.cut_images, page);
}

}  // namespace

int RunRenderer(int argc, const char* const* argv) {
    CodePageChoice choice;
    const CommandOption options[] = {CodePageOption(choice)};
    return RunPassCommand(argc, argv,
                          {.program = "dravonix-render",
                           .usage = kUsage,
                           .help = kHelp,
                           .options = options,
                           .pass = [&choice](const std::string& input, const std::string& output,
                                             PassReport& report) {
                               return Render(input, output,
                                             ResolveCodePage(choice, "dravonix-render"), report);
                           }});
}

}  // namespace dravonix
