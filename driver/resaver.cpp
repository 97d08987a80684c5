#include "driver/resaver.h"

#include "driver/tool.h"
#include "model/key_definition.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

// Reads the XML keyboard file and saves it again; false when either fails.
// Nothing is written unless the input was read as a keyboard.
bool Resave(const char* input, const char* output, PassReport& report) {
    KeyDefDocument document;
    if (LoadKeyboardFile(input, document, &report.error) != KeyboardLoad::kLoaded) return false;
    return SaveToFile(document, output, &report.error);
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
