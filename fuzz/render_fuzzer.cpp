// Fuzz target: arbitrary bytes are read as a legacy .kbd file and drawn as
// SVG; the picture must be built, and its text must parse back as XML.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dom/dom.h"
#include "dom/xml_parse.h"
#include "fuzz/memory_file.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/com.h"
#include "render/keyboard_svg.h"

using namespace dravonix;

namespace {

// Images named by the input are looked up in a folder that does not exist,
// so that none is ever read from the fuzzing machine.
constexpr const char* kNoImages = "/nonexistent-dravonix-fuzz-images";

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)CoInitialize(nullptr);  // cannot fail; the runtime stays started for every input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    file.Write(data, size);
    KeyDefinition keyboard;
    if (!ReadKbdFile(file.path(), keyboard)) Fail("a readable file was not read");
    DomDocument svg;
    if (Failed(BuildKeyboardSvg(keyboard, kNoImages, &svg))) Fail("the picture was not built");
    std::string text;
    if (Failed(svg.SaveToString(&text))) Fail("the picture was not serialized");
    DomDocument parsed;
    if (Failed(ParseXmlMemory(text, &parsed))) Fail("the picture is not well-formed XML");
    return 0;
}
