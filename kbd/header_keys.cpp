#include "kbd/header_keys.h"

#include <cstdint>

#include "kbd/scanner.h"
#include "platform/variant.h"

namespace dravonix {

namespace {

/// True when line begins with key; value then is the text one character
/// after the key. A line that ends before that carries no value.
bool TakeValue(std::string_view line, std::string_view key, std::string_view& value) {
    if (!line.starts_with(key)) return false;
    const std::size_t start = key.size() + 1;
    value = start < line.size() ? line.substr(start) : std::string_view{};
    return true;
}

}  // namespace

void HandleHeaderLine(std::string_view line, SubKeyDefinition& panel) {
    std::string_view value;
    if (TakeValue(line, "xres", value)) {
        std::int32_t xres = 0;
        if (Scanner(value).Int(xres) && xres != 0) {
            panel.name.clear();
            AppendDecimal(xres, panel.name);
        }
    } else if (TakeValue(line, "minout", value)) {
        // The minimum output setting has no place in the model.
    } else if (TakeValue(line, "normal jpeg", value)) {
        // Without a word the image keeps the path it had.
        (void)Scanner(value).Word(panel.jpegnormal);
    } else if (TakeValue(line, "pressed jpeg", value)) {
        (void)Scanner(value).Word(panel.jpegpressed);
    }
}

}  // namespace dravonix
