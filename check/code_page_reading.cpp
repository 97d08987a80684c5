#include "check/code_page_reading.h"

namespace dravonix {

namespace {

enum class Script { kNone, kLatin, kGreek, kCyrillic, kHebrew, kArabic, kThai, kEastAsian, kMark };

/// The script of a letter; kMark for a combining mark or joiner (part of a
/// word of any script); kNone for anything that is no letter.
Script ScriptOf(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return Script::kLatin;
    if (c < 0xC0) return Script::kNone;
    if (c <= 0x24F) return c == 0xD7 || c == 0xF7 ? Script::kNone : Script::kLatin;
    if (c >= 0x300 && c <= 0x36F) return Script::kMark;
    if (c >= 0x370 && c <= 0x3FF) return Script::kGreek;
    if (c >= 0x400 && c <= 0x52F) return Script::kCyrillic;
    if (c >= 0x591 && c <= 0x5C7) return Script::kMark;
    if (c >= 0x5D0 && c <= 0x5F2) return Script::kHebrew;
    if ((c >= 0x610 && c <= 0x61A) || (c >= 0x64B && c <= 0x65F) || c == 0x670) {
        return Script::kMark;
    }
    if ((c >= 0x620 && c <= 0x6D3) || (c >= 0xFB50 && c <= 0xFDFF) ||
        (c >= 0xFE70 && c <= 0xFEFF)) {
        return Script::kArabic;
    }
    if (c >= 0xE01 && c <= 0xE4E) return Script::kThai;
    if (c >= 0x1E00 && c <= 0x1EFF) return Script::kLatin;
    // East Asian punctuation stands between letters, with no blank.
    if ((c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF65)) return Script::kMark;
    if (c == 0x200C || c == 0x200D) return Script::kMark;
    if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0x3041 && c <= 0x30FF) ||
        (c >= 0x3105 && c <= 0x318F) || (c >= 0x3400 && c <= 0x4DBF) ||
        (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3) ||
        (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF66 && c <= 0xFF9F)) {
        return Script::kEastAsian;
    }
    return Script::kNone;
}

/// Letter case, for the scripts whose case the single-byte pages carry.
enum class Case { kNone, kSmall, kCapital };

Case CaseOf(char32_t c) {
    if (c >= 'A' && c <= 'Z') return Case::kCapital;
    if (c >= 'a' && c <= 'z') return Case::kSmall;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return Case::kCapital;
    if (c >= 0xDF && c <= 0xFF && c != 0xF7) return Case::kSmall;
    if (c == 0x386 || (c >= 0x388 && c <= 0x3AB)) return Case::kCapital;
    if (c >= 0x3AC && c <= 0x3CE) return Case::kSmall;
    if (c >= 0x400 && c <= 0x42F) return Case::kCapital;
    if (c >= 0x430 && c <= 0x45F) return Case::kSmall;
    return Case::kNone;
}

bool IsLatinPage(CodePage page) {
    const unsigned number = page.Number();
    return number == 1250 || number == 1252 || number == 1254 || number == 1257 || number == 1258;
}

}  // namespace

std::size_t CountOddities(std::string_view text, CodePage page) {
    const bool latin_page = IsLatinPage(page);
    std::size_t oddities = 0;
    Script word_script = Script::kNone;  // of the word being read
    bool mixed = false;
    bool capital_after_small = false;
    Case last_case = Case::kNone;
    bool symbol_after_letter = false;
    std::size_t letters = 0, non_ascii = 0;
    auto end_word = [&] {
        if (mixed) ++oddities;
        if (capital_after_small && non_ascii != 0) ++oddities;
        if (latin_page && letters >= 3 && non_ascii == letters) ++oddities;
        word_script = Script::kNone;
        mixed = capital_after_small = false;
        last_case = Case::kNone;
        letters = non_ascii = 0;
    };
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        const char32_t c = page.ReadCharacter(text.substr(i), &length);
        i += length;
        const Script script = ScriptOf(c);
        if (script == Script::kMark) continue;
        if (script == Script::kNone) {
            // A symbol is odd between two letters ("÷òî"), not beside blanks ("«Привет»").
            symbol_after_letter = c >= 0x80 && letters != 0;
            end_word();
            if (c == 0xFFFD || (c >= 0x80 && c <= 0x9F) || (c >= 0xE000 && c <= 0xF8FF)) {
                ++oddities;  // no character, or the filler of an undefined byte
            }
            continue;
        }
        if (symbol_after_letter) ++oddities;
        symbol_after_letter = false;
        if (word_script != Script::kNone && script != word_script) mixed = true;
        word_script = script;
        const Case letter_case = CaseOf(c);
        if (letter_case == Case::kCapital && last_case == Case::kSmall) capital_after_small = true;
        last_case = letter_case;
        ++letters;
        if (c >= 0x80) ++non_ascii;
    }
    end_word();
    return oddities;
}

bool ReadsTheSame(std::string_view text, CodePage first, CodePage second) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t first_length = 0, second_length = 0;
        if (first.ReadCharacter(text.substr(i), &first_length) !=
                second.ReadCharacter(text.substr(i), &second_length) ||
            first_length != second_length) {
            return false;
        }
        i += first_length;
    }
    return true;
}

}  // namespace dravonix
