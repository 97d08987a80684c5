#include "kbd/key_sections.h"

#include <cstdint>
#include <utility>

#include "kbd/key_line.h"
#include "kbd/scanner.h"

namespace dravonix {

namespace {

/// Key type of a macro line (together with no virtual-key code).
constexpr std::int32_t kMacroKeyType = 7;

/// Adds the working macro to the panel and resets it.
void CloseMacro(KbdWork& work) {
    work.panel.nonshiftkeys.macro.push_back(std::move(work.macro));
    work.macro = Macro{};
}

}  // namespace

void HandleNotInfluencedLine(std::string_view line, KbdWork& work) {
    work.key = Key{};
    ParseKeyLine(line, work.key);
    if (work.key.type == kMacroKeyType && work.key.vkey == -1) {
        work.state = KbdLineState::InMacro;
        work.macro = Macro{};
        work.macro.shape = std::move(work.key.shape);
        work.macro.sound = work.key.sound;
        work.key = Key{};
    } else if (work.key.type != -1) {
        work.panel.nonshiftkeys.key.push_back(std::move(work.key));
        work.key = Key{};
    }
}

void HandleMacroLine(std::string_view line, KbdWork& work) {
    if (line.find("[/NOT INFLUENCED BY SHIFT]") != std::string_view::npos) {
        work.state = KbdLineState::InKeydef;
        CloseMacro(work);
    } else if (line.find(".MACROENDS") != std::string_view::npos) {
        work.state = KbdLineState::InNotInfluenced;
        CloseMacro(work);
    } else {
        HandleStrokeLine(line, work.macro);
    }
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
