// Fuzz target: the legacy .kbd reader on arbitrary bytes. Any readable file
// must be read to the end without a fault, and the reader must say so.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/memory_file.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"

using namespace dravonix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    file.Write(data, size);
    KeyDefinition definition;
    if (!ReadKbdFile(file.path(), definition)) {
        std::fprintf(stderr, "ReadKbdFile failed on a readable file\n");
        std::abort();
    }
    return 0;
}
