#include "check/code_page_note.h"

#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "check/code_page_guess.h"
#include "platform/unicode.h"

namespace dravonix {

namespace {

std::string FormatNote(CodePage suggested, std::string_view sample) {
    const std::string number = std::to_string(suggested.Number());
    std::string note = "the text reads as ";
    note.append(suggested.Description()).append(" in code page ").append(number);
    note.append(" (\"").append(sample).append("\"); convert with --code-page=").append(number);
    return note;
}

/// Calls visit with the UTF-8 text of every attribute value and text node
/// under node, in document order.
template <typename Visit>
void VisitTexts(const xmlNode* node, Visit& visit) {
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            if (node->content != nullptr) visit(reinterpret_cast<const char*>(node->content));
        } else if (node->type == XML_ELEMENT_NODE) {
            for (const xmlAttr* attribute = node->properties; attribute != nullptr;
                 attribute = attribute->next) {
                VisitTexts(attribute->children, visit);
            }
            VisitTexts(node->children, visit);
        }
    }
}

/// The position in text of the first character page has no bytes for; npos
/// when it has bytes for all of them.
std::size_t FirstMissing(std::string_view text, CodePage page, std::string& scratch) {
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t character = 0;
        std::size_t length = DecodeUtf8(text.substr(i), &character);
        scratch.clear();
        if (length == 0 || !page.AppendCharacter(character, scratch)) return i;
        i += length;
    }
    return std::string_view::npos;
}

/// True when text holds hiragana or katakana (full or half width).
bool HasKana(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        char32_t character = 0;
        const std::size_t length = DecodeUtf8(text.substr(i), &character);
        if ((character >= 0x3040 && character <= 0x30FF) ||
            (character >= 0xFF66 && character <= 0xFF9F)) {
            return true;
        }
        i += length == 0 ? 1 : length;
    }
    return false;
}

/// Up to 40 characters of text from the start of the word at position.
std::string SampleFrom(std::string_view text, std::size_t position) {
    constexpr std::size_t kSampleLength = 40;
    while (position > 0 && static_cast<unsigned char>(text[position - 1]) > ' ' &&
           text[position - 1] != '\\' && text[position - 1] != '/') {
        --position;
    }
    std::string sample;
    std::size_t characters = 0;
    for (std::size_t i = position; i < text.size() && characters < kSampleLength; ++characters) {
        char32_t character = 0;
        const std::size_t length = DecodeUtf8(text.substr(i), &character);
        if (length == 0 || character < 0x20) break;
        sample.append(text.substr(i, length));
        i += length;
    }
    while (!sample.empty() && sample.back() == ' ') sample.pop_back();
    return sample;
}

}  // namespace

std::string CodePageNote(std::string_view text, CodePage page) {
    const std::optional<CodePageGuess> guess = GuessCodePage(text, page);
    if (!guess) return {};
    return FormatNote(guess->code_page, guess->sample);
}

std::string XmlCodePageNote(const _xmlDoc* doc, CodePage page) {
    if (doc == nullptr) return {};
    std::vector<std::string_view> texts;
    auto keep = [&texts](const char* text) { texts.emplace_back(text); };
    VisitTexts(doc->children, keep);
    std::string scratch;
    std::string sample;
    for (std::string_view text : texts) {
        if (const std::size_t missing = FirstMissing(text, page, scratch);
            missing != std::string_view::npos) {
            sample = SampleFrom(text, missing);
            break;
        }
    }
    if (sample.empty()) return {};
    // The double-byte pages share most of their Han characters (and 936 and
    // 949 hold kana): kana tell Japanese, otherwise traditional Chinese comes
    // before simplified, whose page holds traditional characters too.
    static constexpr std::array<std::string_view, 14> kCandidates = {
        "1250", "1251", "1252", "1253", "1254", "1255", "1256",
        "1257", "1258", "874",  "950",  "936",  "932",  "949"};
    static constexpr std::array<std::string_view, 14> kCandidatesWithKana = {
        "1250", "1251", "1252", "1253", "1254", "1255", "1256",
        "1257", "1258", "874",  "932",  "950",  "936",  "949"};
    const bool kana = std::any_of(texts.begin(), texts.end(), HasKana);
    for (std::string_view name : kana ? kCandidatesWithKana : kCandidates) {
        const std::optional<CodePage> candidate = CodePage::Find(name);
        if (!candidate || *candidate == page) continue;
        bool keeps_all = true;
        for (std::string_view text : texts) {
            if (FirstMissing(text, *candidate, scratch) != std::string_view::npos) {
                keeps_all = false;
                break;
            }
        }
        if (keeps_all) return FormatNote(*candidate, sample);
    }
    return {};
}

}  // namespace dravonix
