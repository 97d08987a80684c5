// Fuzz target: arbitrary bytes are read as a legacy .kbd file and drawn as
// SVG; the picture must be built, and its text must be well-formed XML, as
// libxml2 reads it by itself. The bytes are read from memory: the file path
// of the reader has a target of its own.
#include <libxml/parser.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dom/dom.h"
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
    KeyDefinition keyboard;
    ReadKbdBytes({reinterpret_cast<const char*>(data), size}, keyboard);
    DomDocument svg;
    if (Failed(BuildKeyboardSvg(keyboard, kNoImages, &svg))) Fail("the picture was not built");
    std::string text;
    if (Failed(svg.SaveToString(&text))) Fail("the picture was not serialized");
    xmlDoc* parsed = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                   XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (parsed == nullptr) Fail("the picture is not well-formed XML");
    xmlFreeDoc(parsed);
    return 0;
}
