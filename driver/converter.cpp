#include "driver/converter.h"

#include <new>

#include "driver/console.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/com.h"

namespace {

// Reads the legacy file and saves it as XML; false when either step fails.
bool Convert(const char* input, const char* output) {
    KeyDefDocument document;
    if (!ReadKbdFile(input, document.keydef)) return false;
    return document.SaveToFile(output);
}

}  // namespace

int RunConverter(int argc, const char* const* argv) {
    CoInitialize(nullptr);
    if (argc != 3) {
        PrintBanner();
        PrintLine("This tool converts the Vantorel keyboard files (.kbd) to the");
        PrintLine("new XML-Style keyboard files.");
        PrintLine("");
        PrintLine("Syntax: dravonix.exe Inputfile.kbd Outputfile.xml");
        CoUninitialize();
        return -1;
    }
    bool converted = false;
    try {
        converted = Convert(argv[1], argv[2]);  // the document is gone before CoUninitialize
    } catch (const std::bad_alloc&) {
        converted = false;
    }
    if (!converted) PrintError();
    CoUninitialize();
    return converted ? 0 : -2;
}
