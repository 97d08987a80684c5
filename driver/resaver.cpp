#include "driver/resaver.h"

#include "driver/tool.h"
#include "model/key_definition.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

// Reads the XML keyboard file and saves it again; false when either fails.
// Nothing is written unless the input was read as a keyboard.
bool Resave(const char* input, const char* output) {
    KeyDefDocument document;
    if (LoadKeyboardFile(input, document) != KeyboardLoad::kLoaded) return false;
    return SaveToFile(document, output);
}

}  // namespace

int RunResaver(int argc, const char* const* argv) {
    return RunTool(argc, argv,
                   {"This tool reads an XML keyboard file and writes it again.", "",
                    "Syntax: dravonix-resave Inputfile.xml Outputfile.xml"},
                   Resave);
}

}  // namespace dravonix
