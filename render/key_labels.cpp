#include "render/key_labels.h"

#include <array>
#include <string>
#include <string_view>

#include "platform/variant.h"

namespace dravonix {

namespace {

/// A named virtual key.
struct NamedKey {
    std::int32_t code;
    std::string_view name;
};

// The standard virtual-key table, apart from the ranges that VirtualKeyName
// names by rule (digits, letters, numeric keypad digits, F1 to F24).
constexpr std::array<NamedKey, 95> kNamedKeys = {{
    {0x01, "Left Button"},
    {0x02, "Right Button"},
    {0x03, "Cancel"},
    {0x04, "Middle Button"},
    {0x05, "X Button 1"},
    {0x06, "X Button 2"},
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0C, "Clear"},
    {0x0D, "Enter"},
    {0x10, "Shift"},
    {0x11, "Ctrl"},
    {0x12, "Alt"},
    {0x13, "Pause"},
    {0x14, "Caps Lock"},
    {0x15, "Kana"},
    {0x16, "IME On"},
    {0x17, "Junja"},
    {0x18, "Final"},
    {0x19, "Kanji"},
    {0x1A, "IME Off"},
    {0x1B, "Esc"},
    {0x1C, "Convert"},
    {0x1D, "Nonconvert"},
    {0x1E, "Accept"},
    {0x1F, "Mode Change"},
    {0x20, "Space"},
    {0x21, "Page Up"},
    {0x22, "Page Down"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x29, "Select"},
    {0x2A, "Print"},
    {0x2B, "Execute"},
    {0x2C, "Print Screen"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x2F, "Help"},
    {0x5B, "Left Win"},
    {0x5C, "Right Win"},
    {0x5D, "Menu"},
    {0x5F, "Sleep"},
    {0x6A, "Num *"},
    {0x6B, "Num +"},
    {0x6C, "Separator"},
    {0x6D, "Num -"},
    {0x6E, "Num ."},
    {0x6F, "Num /"},
    {0x90, "Num Lock"},
    {0x91, "Scroll Lock"},
    {0xA0, "Left Shift"},
    {0xA1, "Right Shift"},
    {0xA2, "Left Ctrl"},
    {0xA3, "Right Ctrl"},
    {0xA4, "Left Alt"},
    {0xA5, "Right Alt"},
    {0xA6, "Browser Back"},
    {0xA7, "Browser Forward"},
    {0xA8, "Browser Refresh"},
    {0xA9, "Browser Stop"},
    {0xAA, "Browser Search"},
    {0xAB, "Browser Favorites"},
    {0xAC, "Browser Home"},
    {0xAD, "Volume Mute"},
    {0xAE, "Volume Down"},
    {0xAF, "Volume Up"},
    {0xB0, "Next Track"},
    {0xB1, "Previous Track"},
    {0xB2, "Stop Media"},
    {0xB3, "Play/Pause"},
    {0xB4, "Mail"},
    {0xB5, "Media Select"},
    {0xB6, "App 1"},
    {0xB7, "App 2"},
    {0xBA, "OEM 1 (;:)"},
    {0xBB, "OEM Plus"},
    {0xBC, "OEM Comma"},
    {0xBD, "OEM Minus"},
    {0xBE, "OEM Period"},
    {0xBF, "OEM 2 (/?)"},
    {0xC0, "OEM 3 (`~)"},
    {0xDB, "OEM 4 ([{)"},
    {0xDC, "OEM 5 (\\|)"},
    {0xDD, "OEM 6 (]})"},
    {0xDE, "OEM 7 ('\")"},
    {0xDF, "OEM 8"},
    {0xE2, "OEM 102"},
    {0xE5, "Process"},
    {0xF6, "Attn"},
    {0xFA, "Play"},
    {0xFB, "Zoom"},
}};

/// Longest target text shown in a key; longer ones are cut with "...".
constexpr std::size_t kTargetLabelLength = 10;

/// Appends the text of one narrow character: itself, "Space" for a blank,
/// "0xNN" for a control character (which XML cannot carry or shows as
/// nothing) and for a byte that is no character alone (a lead byte of a
/// double-byte page).
void AppendCharacterText(char character, CodePage page, std::string& out) {
    const auto byte = static_cast<unsigned char>(character);
    if (byte == ' ') {
        out.append("Space");
        return;
    }
    std::size_t length = 0;
    const char32_t code_point = page.ReadCharacter(std::string_view(&character, 1), &length);
    if (code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F) || code_point == 0xFFFD) {
        constexpr char kHex[] = "0123456789ABCDEF";
        const char text[] = {'0', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        out.append(text, sizeof text);
        return;
    }
    (void)page.AppendUtf8(std::string_view(&character, 1), out);
}

/// Appends "n", or "n (file)" when sounds has a file for id n.
void AppendSoundText(std::int32_t sound, const SoundTable& sounds, CodePage page,
                     std::string& out) {
    AppendDecimal(sound, out);
    const auto found = sounds.find(sound);
    if (found == sounds.end()) return;
    out.append(" (");
    (void)page.AppendUtf8(found->second, out);
    out.append(")");
}

}  // namespace

void AppendVirtualKeyName(std::int32_t vkey, std::string& out) {
    if ((vkey >= '0' && vkey <= '9') || (vkey >= 'A' && vkey <= 'Z')) {
        out.push_back(static_cast<char>(vkey));
        return;
    }
    if (vkey >= 0x60 && vkey <= 0x69) {
        out.append("Num ");
        AppendDecimal(vkey - 0x60, out);
        return;
    }
    if (vkey >= 0x70 && vkey <= 0x87) {
        out.append("F");
        AppendDecimal(vkey - 0x70 + 1, out);
        return;
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.code == vkey) {
            out.append(key.name);
            return;
        }
    }
    out.append("VK ");
    AppendDecimal(vkey, out);
}

std::string VirtualKeyName(std::int32_t vkey) {
    std::string name;
    AppendVirtualKeyName(vkey, name);
    return name;
}

void AppendKeyLabel(const Key& key, CodePage page, std::string& out) {
    if (key.vkey != -1) {
        AppendVirtualKeyName(key.vkey, out);
    } else if (key.character != 0) {
        AppendCharacterText(key.character, page, out);
    } else if (key.target.size() <= kTargetLabelLength) {
        (void)page.AppendUtf8(key.target, out);
    } else {
        (void)page.AppendUtf8(std::string_view(key.target).substr(0, kTargetLabelLength - 3), out);
        out.append("...");
    }
}

std::string KeyLabel(const Key& key, CodePage page) {
    std::string label;
    AppendKeyLabel(key, page, label);
    return label;
}

void AppendKeyDetails(const Key& key, KeyKind kind, const SoundTable& sounds, CodePage page,
                      std::string& out) {
    out.append(StyleOf(kind).caption).append("\ntype ");
    AppendDecimal(key.type, out);
    if (key.vkey != -1) {
        out.append("\nvirtual key ");
        AppendDecimal(key.vkey, out);
        out.append(" (");
        AppendVirtualKeyName(key.vkey, out);
        out.append(")");
    }
    if (key.character != 0) {
        out.append("\ncharacter ");
        AppendCharacterText(key.character, page, out);
    }
    if (key.sound != -1) {
        out.append("\nsound ");
        AppendSoundText(key.sound, sounds, page, out);
    }
    if (!key.target.empty()) {
        out.append("\ntarget ");
        (void)page.AppendUtf8(key.target, out);
    }
    if (key.language != -1) {
        out.append("\nlanguage ");
        AppendDecimal(key.language, out);
    }
}

std::string KeyDetails(const Key& key, KeyKind kind, const SoundTable& sounds, CodePage page) {
    std::string details;
    AppendKeyDetails(key, kind, sounds, page, details);
    return details;
}

void AppendMacroDetails(const Macro& macro, const SoundTable& sounds, CodePage page,
                        std::string& out) {
    out.append(StyleOf(KeyKind::kMacro).caption);
    if (macro.sound != -1) {
        out.append("\nsound ");
        AppendSoundText(macro.sound, sounds, page, out);
    }
    out.append("\n");
    out.append(std::to_string(macro.mkey.size()));
    out.append(" strokes");
    for (const MacroKey& stroke : macro.mkey) {
        out.append("\n");
        if (stroke.vkey == -1 && stroke.character != 0) {
            out.append("type ");
            AppendCharacterText(stroke.character, page, out);
        } else {
            AppendVirtualKeyName(stroke.vkey, out);
            out.append(stroke.pressed == 1 ? " down" : stroke.pressed == 0 ? " up" : "");
        }
    }
}

std::string MacroDetails(const Macro& macro, const SoundTable& sounds, CodePage page) {
    std::string details;
    AppendMacroDetails(macro, sounds, page, details);
    return details;
}

}  // namespace dravonix
