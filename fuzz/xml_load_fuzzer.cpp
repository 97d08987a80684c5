// Fuzz target: the XML parser and the keyboard reader on arbitrary bytes.
// Whatever a document loads as must save as a document that loads again to
// the same model, so the saved text of both loads must be equal.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dom/xml_parse.h"
#include "fuzz/stable_reload.h"
#include "model/key_definition.h"
#include "platform/com.h"
#include "xml/keyboard_file.h"

using namespace dravonix;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)CoInitialize(nullptr);  // cannot fail; the runtime stays started for every input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);

    DomDocument parsed;
    const HRESULT parse_status = ParseXmlMemory(bytes, &parsed);

    KeyDefDocument document;
    const KeyboardLoad outcome = LoadKeyboardMemory(bytes, document);
    if ((outcome == KeyboardLoad::kUnreadable) != Failed(parse_status)) {
        Report("the parser and the loader disagree on the input", std::string(bytes), "");
    }
    if (outcome != KeyboardLoad::kLoaded) return 0;

    std::string first;
    if (!SaveToText(document, &first)) Report("a loaded keyboard did not save", "", "");
    ExpectStableReload(first);
    return 0;
}
