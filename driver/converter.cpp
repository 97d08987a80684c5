#include "driver/converter.h"

#include <string>
#include <string_view>

#include "check/loss_counter.h"
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
    "Why a conversion failed, and what a conversion dropped, is told on standard error;",
    "'dravonix-check Inputfile.kbd' lists every line the conversion dropped or changed.",
};

// Reads the legacy file and saves it as XML; false when either step fails,
// or when the output is a legacy keyboard file, which is never overwritten
// (the arguments were likely swapped).
bool Convert(const std::string& input, const std::string& output, PassReport& report) {
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
    // Decided before the save, which may replace the input.
    const bool input_looks_like_xml =
        files.ReadStartOfFile(input, kKindSniffLength, &start) && LooksLikeXml(start);
    std::string().swap(start);
    KeyDefDocument document;
    LossCounter losses;
    std::string error;
    if (!ReadKbdFile(input, document.keydef, &losses, &error)) {
        report.error = FileFailureMessage("open", input, error);
        return false;
    }
    if (!SaveToFile(document, output, &report.error)) return false;
    WarnAfterSave(report, [&]() -> std::string {
        if (input_looks_like_xml) {
            return input +
                   ": looks like an XML keyboard file, not a legacy one; did you mean "
                   "'dravonix-resave'?";
        }
        const std::string lost = losses.Summary();
        if (lost.empty()) return {};
        return input + ": " + lost + " not converted; 'dravonix-check " + input + "' lists them";
    });
    return true;
}

}  // namespace

int RunConverter(int argc, const char* const* argv) {
    return RunPassCommand(argc, argv,
                          {.program = "dravonix", .usage = kUsage, .help = kHelp, .pass = Convert});
}

}  // namespace dravonix
