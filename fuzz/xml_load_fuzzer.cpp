// Fuzz target: the XML parser and the keyboard reader on arbitrary bytes,
// read once with an observer. Every report must name a line of the input, in
// the order of the file; whatever a document loads as must save as a
// document that loads again to the same model, so the saved text of both
// loads must be equal.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/stable_reload.h"
#include "model/key_definition.h"
#include "platform/com.h"
#include "xml/keyboard_file.h"
#include "xml/xml_observer.h"

using namespace dravonix;

namespace {

// Stops at a report whose line is not a line of the input or comes before
// the one reported last.
class LineChecker final : public XmlObserver {
public:
    explicit LineChecker(std::size_t lines) : lines_(lines) {}
    void Report(std::size_t line, XmlIssue kind, std::string_view details) override {
        if (line >= 1 && line <= lines_ && line >= last_ && !details.empty()) {
            last_ = line;
            return;
        }
        std::fprintf(stderr, "report [%.*s] at line %zu (after %zu) of an input of %zu lines\n",
                     static_cast<int>(XmlIssueName(kind).size()), XmlIssueName(kind).data(), line,
                     last_, lines_);
        std::abort();
    }

private:
    std::size_t lines_;
    std::size_t last_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)CoInitialize(nullptr);  // cannot fail; the runtime stays started for every input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The lines of the input: a line end is LF, CR LF or a lone CR (the
    // parser's count); one more than the line ends.
    std::size_t lines = 1;
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == size || bytes[i + 1] != '\n'))) {
            ++lines;
        }
    }
    LineChecker checker(lines);
    KeyDefDocument document;
    if (LoadKeyboardMemory(bytes, document, &checker) != KeyboardLoad::kLoaded) return 0;

    std::string first;
    if (!SaveToText(document, &first)) Report("a loaded keyboard did not save", "", "");
    ExpectStableReload(first);
    return 0;
}
