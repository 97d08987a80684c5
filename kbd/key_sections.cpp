#include "kbd/key_sections.h"

#include <cstdint>
#include <utility>

#include "kbd/key_line.h"
#include "kbd/scanner.h"

namespace dravonix {

namespace {

/// Key type of a macro line (together with no virtual-key code).
constexpr std::int32_t kMacroKeyType = 7;

}  // namespace

bool HandleNotInfluencedLine(std::string_view line, Key& key, Macro& macro, KeyGroup& group) {
    key = Key{};
    ParseKeyLine(line, key);
    if (key.type == kMacroKeyType && key.vkey == -1) {
        macro = Macro{};
        macro.shape = std::move(key.shape);
        macro.sound = key.sound;
        key = Key{};
        return true;
    }
    if (key.type != -1) {
        group.key.push_back(std::move(key));
        key = Key{};
    }
    return false;
}

void HandleShiftLine(std::string_view line, Key& key, KeyList& keys) {
    ParseKeyLine(line, key);
    if (key.type == -1) return;
    keys.key.push_back(std::move(key));
    key = Key{};
}

void HandleStrokeLine(std::string_view line, Macro& macro) {
    std::int32_t vkey = 0;
    std::int32_t pressed = 0;
    char character = 0;
    int items = 0;
    Scanner scan(line);
    if (scan.Int(vkey)) {
        ++items;
        if (scan.Match(",") && scan.Int(pressed)) {
            ++items;
            if (scan.Match(",'") && scan.Char(character)) ++items;
        }
    }
    if (items == 3 && vkey == -1) {
        macro.mkey.push_back(MacroKey{-1, -1, character});
    } else if (items == 2) {
        macro.mkey.push_back(MacroKey{vkey, pressed, 0});
    }
}

}  // namespace dravonix
