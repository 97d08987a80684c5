#include "driver/resaver.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "check/input_kind.h"
#include "check/xml_check.h"
#include "driver/tool.h"
#include "model/key_definition.h"
#include "platform/counted_noun.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

constexpr std::string_view kUsage[] = {
    "This tool reads an XML keyboard file and writes it again.",
    "",
    "Syntax: dravonix-resave Inputfile.xml Outputfile.xml",
};

constexpr std::string_view kHelp[] = {
    "Exit codes: 0 saved; -1 (255) wrong arguments; -2 (254) reading or saving failed.",
    "Why it failed is told on standard error.",
};

// Reads the XML keyboard file and saves it again; false when either fails.
// Nothing is written unless the input was read as a keyboard.
bool Resave(const std::string& input, const std::string& output, PassReport& report) {
    KeyDefDocument document;
    // The input's bytes are kept before the save, which may replace the
    // input, to tell afterwards what the reader dropped or changed.
    std::string bytes;
    std::string ignored;
    const bool have_bytes = ReadInputFile(input, &bytes, &ignored);
    if (LoadKeyboardFile(input, document, &report.error) != KeyboardLoad::kLoaded) return false;
    if (!SaveToFile(document, output, &report.error)) return false;
    if (!have_bytes) return true;
    WarnAfterSave(report, [&]() -> std::string {
        CheckReport check;
        CheckXmlMemory(bytes, check, /*validate=*/false);
        std::vector<std::size_t> lines;
        for (const Finding& finding : check.findings) lines.push_back(finding.line);
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());  // sorted by line
        if (lines.empty()) return {};
        return input + ": " + CountedNoun(lines.size(), "line") +
               " not kept as written; 'dravonix-check " + input + "' lists them";
    });
    return true;
}

}  // namespace

int RunResaver(int argc, const char* const* argv) {
    return RunPassCommand(
        argc, argv, {.program = "dravonix-resave", .usage = kUsage, .help = kHelp, .pass = Resave});
}

}  // namespace dravonix
