// Checks shared by the fuzz targets that save a keyboard: a failure stops the
// run with the texts involved, so libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/key_definition.h"
#include "xml/keyboard_file.h"

namespace dravonix {

/// Stops with both texts when a check fails.
[[noreturn]] inline void Report(const char* what, const std::string& first,
                                const std::string& second) {
    std::fprintf(stderr, "%s\n--- first\n%s\n--- second\n%s\n", what, first.c_str(),
                 second.c_str());
    std::abort();
}

/// Reads first (a file the system wrote) back and saves it again: the second
/// file must be the same, byte for byte.
inline void ExpectStableReload(const std::string& first) {
    KeyDefDocument reloaded;
    if (LoadKeyboardMemory(first, reloaded) != KeyboardLoad::kLoaded) {
        Report("a saved keyboard did not load", first, "");
    }
    std::string second;
    if (!SaveToText(reloaded, &second)) Report("a reloaded keyboard did not save", first, "");
    if (first != second) Report("a saved keyboard changed when read back", first, second);
}

}  // namespace dravonix
