// kbd_generator SIZE_BYTES SEED OUTPUT: writes a generated keyboard file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "testing/kbd_generator.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: kbd_generator SIZE_BYTES SEED OUTPUT\n");
        return 2;
    }
    std::string text = dravonix::GenerateKbd(std::strtoull(argv[1], nullptr, 10),
                                             std::strtoull(argv[2], nullptr, 10));
    std::FILE* file = std::fopen(argv[3], "wb");
    if (file == nullptr) return 1;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    return ok ? 0 : 1;
}
