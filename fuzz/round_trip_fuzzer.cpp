// Fuzz target: arbitrary bytes are read as a legacy .kbd file and saved as
// XML; the saved text is parsed, loaded and saved again and must come out
// byte for byte the same, since the file the converter writes must read back
// to the same model.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/stable_reload.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/com.h"
#include "xml/keyboard_file.h"

namespace {

// U+FFFD in UTF-8: what the writer puts for a model character that XML 1.0
// cannot carry (the control bytes 0x01-0x08, 0x0B, 0x0C, 0x0E-0x1F). It reads
// back as "?", the narrow stand-in for a character without a byte, so such a
// model cannot come back unchanged by design. No byte of a narrow string
// becomes U+FFFD in any other way.
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

using namespace dravonix;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)CoInitialize(nullptr);  // cannot fail; the runtime stays started for every input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // From memory: the file path of the reader has a target of its own.
    KeyDefDocument document;
    ReadKbdBytes({reinterpret_cast<const char*>(data), size}, document.keydef);

    std::string first;
    if (!SaveToText(document, &first)) Report("a read keyboard did not save", "", "");
    if (first.find(kReplacement) != std::string::npos) return 0;

    ExpectStableReload(first);
    return 0;
}
