#include "driver/converter.h"

#include "driver/tool.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

// Reads the legacy file and saves it as XML; false when either step fails.
bool Convert(const char* input, const char* output) {
    KeyDefDocument document;
    if (!ReadKbdFile(input, document.keydef)) return false;
    return SaveToFile(document, output);
}

}  // namespace

int RunConverter(int argc, const char* const* argv) {
    return RunTool(
        argc, argv,
        {"This tool converts the Vantorel keyboard files (.kbd) to the",
         "new XML-Style keyboard files.", "", "Syntax: dravonix.exe Inputfile.kbd Outputfile.xml"},
        Convert);
}

}  // namespace dravonix
