// The standard streams on POSIX systems: bytes, whatever they lead to.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/console.h"

namespace dravonix {

void WriteText(StandardStream stream, std::string_view text) {
    std::FILE* file = stream == StandardStream::kOutput ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

bool OwnsConsoleWindow() {
    const char* forced = std::getenv("DRAVONIX_CONSOLE_OWNER");
    return forced != nullptr && std::strcmp(forced, "1") == 0;
}

void WaitForKey() { (void)std::fgetc(stdin); }

}  // namespace dravonix
