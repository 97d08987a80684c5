#include "driver/console.h"

#include <cstdio>

void PrintLine(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintBanner() {
    PrintLine("");
    PrintLine("Vantorel Keyboard Definition File Converter v1.0");
    PrintLine("-------------------------------------------------");
    PrintLine("");
}

void PrintError() {
    PrintBanner();
    PrintLine("[EE] An error occured while converting keyboard file");
}
