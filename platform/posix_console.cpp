// The standard streams on POSIX systems: bytes, whatever they lead to.
#include <cstdio>

#include "platform/console.h"

namespace dravonix {

void WriteText(StandardStream stream, std::string_view text) {
    std::FILE* file = stream == StandardStream::kOutput ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

}  // namespace dravonix
