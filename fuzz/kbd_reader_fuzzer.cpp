// Fuzz target: the legacy .kbd reader on arbitrary bytes. Any readable file
// must be read to the end without a fault, and the reader must say so. Read
// from memory with an observer, the same bytes must give the same keyboard,
// and every report must name a line of the file.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "testing/memory_file_system.h"

using namespace dravonix;

namespace {

/// Stops at a report whose line is not a line of the file.
class LineChecker : public KbdObserver {
public:
    explicit LineChecker(std::size_t lines) : lines_(lines) {}
    void Report(std::size_t line, KbdIssue kind, std::string_view details) override {
        if (line >= 1 && line <= lines_ && !details.empty()) return;
        std::fprintf(stderr, "report [%.*s] at line %zu of a file of %zu lines\n",
                     static_cast<int>(KbdIssueName(kind).size()), KbdIssueName(kind).data(), line,
                     lines_);
        std::abort();
    }

private:
    std::size_t lines_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A file system in memory: a file on disk would cost more than the read.
    static MemoryFileSystem files;
    files.AddFile("/in.kbd", std::string(bytes));
    KeyDefinition definition;
    if (!ReadKbdFile("/in.kbd", definition, nullptr, nullptr, files)) {
        std::fprintf(stderr, "ReadKbdFile failed on a readable file\n");
        std::abort();
    }

    // The lines of the file: one per LF, and one more for text after the
    // last; an empty file has its first line, where a report about the
    // whole file stands.
    const std::size_t lines = std::max<std::size_t>(
        1, static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) +
               (bytes.empty() || bytes.back() == '\n' ? 0 : 1));
    LineChecker checker(lines);
    KeyDefinition observed;
    ReadKbdBytes(bytes, observed, &checker);
    if (observed.name != definition.name ||
        observed.subkeydef.size() != definition.subkeydef.size()) {
        std::fprintf(stderr, "the observer changed the keyboard read\n");
        std::abort();
    }
    return 0;
}
