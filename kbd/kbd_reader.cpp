#include "kbd/kbd_reader.h"

#include <cstdio>

bool ReadKbdFile(const std::string& path, KeyDefinition& /*definition*/) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}
