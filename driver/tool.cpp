#include "driver/tool.h"

#include <cstdio>
#include <new>

#include "platform/com.h"

namespace dravonix {

namespace {

void PrintLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The four lines every text starts with.
void PrintBanner() {
    PrintLine("");
    PrintLine("Vantorel Keyboard Definition File Converter v1.0");
    PrintLine("-------------------------------------------------");
    PrintLine("");
}

}  // namespace

int RunTool(int argc, const char* const* argv, std::initializer_list<std::string_view> usage_lines,
            ToolPass pass) {
    (void)CoInitialize(nullptr);  // cannot fail; S_FALSE would only say it was started already
    if (argc != 3) {
        PrintBanner();
        for (std::string_view line : usage_lines) PrintLine(line);
        CoUninitialize();
        return -1;
    }
    bool done = false;
    try {
        done = pass(argv[1], argv[2]);  // the pass's model is gone before CoUninitialize
    } catch (const std::bad_alloc&) {
        done = false;
    }
    if (!done) {
        PrintBanner();
        PrintLine("[EE] An error occured while converting keyboard file");
    }
    CoUninitialize();
    return done ? 0 : -2;
}

}  // namespace dravonix
