#include "driver/resaver.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "check/input_kind.h"
#include "check/xml_check.h"
#include "driver/tool.h"
#include "model/key_definition.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

// Reads the XML keyboard file and saves it again; false when either fails.
// Nothing is written unless the input was read as a keyboard.
bool Resave(const char* input, const char* output, PassReport& report) {
    KeyDefDocument document;
    // The input's bytes are kept before the save, which may replace the
    // input, to tell afterwards what the reader dropped or changed.
    std::string bytes;
    std::string ignored;
    const bool have_bytes = ReadInputFile(input, &bytes, &ignored);
    if (LoadKeyboardFile(input, document, &report.error) != KeyboardLoad::kLoaded) return false;
    if (!SaveToFile(document, output, &report.error)) return false;
    if (!have_bytes) return true;
    // The output is saved: running out of memory from here on only costs the
    // warning, never the success.
    try {
        CheckReport check;
        CheckXmlMemory(bytes, check, /*validate=*/false);
        std::vector<std::size_t> lines;
        for (const Finding& finding : check.findings) lines.push_back(finding.line);
        lines.erase(std::unique(lines.begin(), lines.end()), lines.end());  // sorted by line
        if (!lines.empty()) {
            report.warning = std::string(input) + ": " + std::to_string(lines.size()) +
                             (lines.size() == 1 ? " line" : " lines") +
                             " not kept as written; 'dravonix-check " + input + "' lists them";
        }
    } catch (const std::bad_alloc&) {
        report.warning.clear();
    }
    return true;
}

}  // namespace

int RunResaver(int argc, const char* const* argv) {
    return RunTool(
        argc, argv,
        {"dravonix-resave",
         {"This tool reads an XML keyboard file and writes it again.", "",
          "Syntax: dravonix-resave Inputfile.xml Outputfile.xml"},
         {"", "Options:", "  -h, --help, /?   print this text and exit",
          "  --version        print the version and exit", "",
          "Exit codes: 0 saved; -1 (255) wrong arguments; -2 (254) reading or saving failed.",
          "Why it failed is told on standard error."},
         Resave});
}

}  // namespace dravonix
