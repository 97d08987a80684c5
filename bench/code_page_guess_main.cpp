// code_page_guess FILE...: prints, for each file, the code page its text reads
// as instead of Windows-1252 (GuessCodePage) on one tab-separated line, "FILE NUMBER SCRIPT
// SAMPLE", or "FILE unsure". Used by bench/code_page_detection.py to measure the guess.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "check/code_page_guess.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(file), {}};
        const auto guess = dravonix::GuessCodePage(text, dravonix::CodePage());
        if (guess) {
            std::printf("%s\t%u\t%.*s\t%s\n", argv[i], guess->code_page.Number(),
                        static_cast<int>(guess->script.size()), guess->script.data(),
                        guess->sample.c_str());
        } else {
            std::printf("%s\tunsure\n", argv[i]);
        }
    }
    return 0;
}
