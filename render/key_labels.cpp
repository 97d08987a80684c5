#include "render/key_labels.h"

#include <array>
#include <string_view>

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

/// The text of one narrow character: itself, "Space" for a blank, "0xNN" for
/// a control character (which XML cannot carry or shows as nothing) and for
/// a byte that is no character alone (a lead byte of a double-byte page).
std::string CharacterText(char character, CodePage page) {
    const auto byte = static_cast<unsigned char>(character);
    if (byte == ' ') return "Space";
    std::size_t length = 0;
    const char32_t code_point = page.ReadCharacter(std::string_view(&character, 1), &length);
    if (code_point < 0x20 || (code_point >= 0x7F && code_point <= 0x9F) || code_point == 0xFFFD) {
        constexpr char kHex[] = "0123456789ABCDEF";
        return std::string{'0', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
    std::string text;
    (void)page.AppendUtf8(std::string_view(&character, 1), text);
    return text;
}

/// Narrow text as UTF-8.
std::string Utf8(std::string_view narrow, CodePage page) {
    std::string text;
    (void)page.AppendUtf8(narrow, text);
    return text;
}

/// "n", or "n (file)" when sounds has a file for id n.
std::string SoundText(std::int32_t sound, const SoundTable& sounds, CodePage page) {
    std::string text = std::to_string(sound);
    const auto found = sounds.find(sound);
    if (found != sounds.end()) text.append(" (").append(Utf8(found->second, page)).append(")");
    return text;
}

}  // namespace

std::string VirtualKeyName(std::int32_t vkey) {
    if ((vkey >= '0' && vkey <= '9') || (vkey >= 'A' && vkey <= 'Z')) {
        return std::string(1, static_cast<char>(vkey));
    }
    if (vkey >= 0x60 && vkey <= 0x69)
        return std::string("Num ").append(std::to_string(vkey - 0x60));
    if (vkey >= 0x70 && vkey <= 0x87)
        return std::string("F").append(std::to_string(vkey - 0x70 + 1));
    for (const NamedKey& key : kNamedKeys) {
        if (key.code == vkey) return std::string(key.name);
    }
    return std::string("VK ").append(std::to_string(vkey));
}

std::string KeyLabel(const Key& key, CodePage page) {
    if (key.vkey != -1) return VirtualKeyName(key.vkey);
    if (key.character != 0) return CharacterText(key.character, page);
    if (!key.target.empty()) {
        if (key.target.size() <= kTargetLabelLength) return Utf8(key.target, page);
        return Utf8(key.target.substr(0, kTargetLabelLength - 3), page).append("...");
    }
    return {};
}

std::string KeyDetails(const Key& key, KeyKind kind, const SoundTable& sounds, CodePage page) {
    std::string text(StyleOf(kind).caption);
    text.append("\ntype ").append(std::to_string(key.type));
    if (key.vkey != -1) {
        text.append("\nvirtual key ").append(std::to_string(key.vkey));
        text.append(" (").append(VirtualKeyName(key.vkey)).append(")");
    }
    if (key.character != 0) text.append("\ncharacter ").append(CharacterText(key.character, page));
    if (key.sound != -1) text.append("\nsound ").append(SoundText(key.sound, sounds, page));
    if (!key.target.empty()) text.append("\ntarget ").append(Utf8(key.target, page));
    if (key.language != -1) text.append("\nlanguage ").append(std::to_string(key.language));
    return text;
}

std::string MacroDetails(const Macro& macro, const SoundTable& sounds, CodePage page) {
    std::string text(StyleOf(KeyKind::kMacro).caption);
    if (macro.sound != -1) text.append("\nsound ").append(SoundText(macro.sound, sounds, page));
    text.append("\n").append(std::to_string(macro.mkey.size())).append(" strokes");
    for (const MacroKey& stroke : macro.mkey) {
        text += "\n";
        if (stroke.vkey == -1 && stroke.character != 0) {
            text.append("type ").append(CharacterText(stroke.character, page));
        } else {
            text += VirtualKeyName(stroke.vkey);
            text += stroke.pressed == 1 ? " down" : stroke.pressed == 0 ? " up" : "";
        }
    }
    return text;
}

}  // namespace dravonix
