#include "check/code_page_guess.h"

#include <uchardet/uchardet.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "check/code_page_reading.h"
#include "platform/unicode.h"

namespace dravonix {

namespace {

/// The supported code page for a character set the detector names: the
/// Windows page of the same script, as a short text in one of a family is
/// often named as another of it (KOI8-R for Windows-1251...).
std::optional<CodePage> SupportedCodePage(std::string_view charset) {
    static constexpr struct {
        std::string_view charset;
        std::string_view code_page;
    } kFamilies[] = {
        {"WINDOWS-1252", "1252"},
        {"ISO-8859-1", "1252"},
        {"ISO-8859-15", "1252"},
        {"WINDOWS-1250", "1250"},
        {"ISO-8859-2", "1250"},
        {"ISO-8859-16", "1250"},
        {"MAC-CENTRALEUROPE", "1250"},
        {"IBM852", "1250"},
        {"WINDOWS-1251", "1251"},
        {"ISO-8859-5", "1251"},
        {"KOI8-R", "1251"},
        {"KOI8-U", "1251"},
        {"IBM855", "1251"},
        {"IBM866", "1251"},
        {"MAC-CYRILLIC", "1251"},
        {"WINDOWS-1253", "1253"},
        {"ISO-8859-7", "1253"},
        {"WINDOWS-1254", "1254"},
        {"ISO-8859-9", "1254"},
        {"WINDOWS-1255", "1255"},
        {"ISO-8859-8", "1255"},
        {"WINDOWS-1256", "1256"},
        {"ISO-8859-6", "1256"},
        {"WINDOWS-1257", "1257"},
        {"ISO-8859-13", "1257"},
        {"ISO-8859-4", "1257"},
        {"WINDOWS-1258", "1258"},
        {"VISCII", "1258"},
        {"TIS-620", "874"},
        {"ISO-8859-11", "874"},
        {"WINDOWS-874", "874"},
        {"SHIFT_JIS", "932"},
        {"EUC-JP", "932"},
        {"GB18030", "936"},
        {"GB2312", "936"},
        {"HZ-GB-2312", "936"},
        {"EUC-KR", "949"},
        {"UHC", "949"},
        {"BIG5", "950"},
        {"EUC-TW", "950"},
    };
    for (const auto& family : kFamilies) {
        if (family.charset.size() != charset.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < charset.size() && same; ++i) {
            char c = charset[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            same = c == family.charset[i];
        }
        if (same) return CodePage::Find(family.code_page);
    }
    return std::nullopt;
}

/// Characters that end a sample: line ends, tabs and the separators of the
/// keyboard format (quotes, commas, equals signs, brackets, path separators).
bool EndsSample(char32_t character) {
    return character < 0x20 ||
           std::u32string_view(U"\"',=[]/\\;").find(character) != std::u32string_view::npos;
}

/// Up to kSampleLength characters of text's first line with a byte above 0x7F,
/// read in page, from the start of the run of characters holding its first
/// non-ASCII character to that run's end, as UTF-8.
std::string SampleText(std::string_view text, CodePage page) {
    constexpr std::size_t kSampleLength = 40;
    std::size_t first = 0;
    while (first < text.size() && static_cast<unsigned char>(text[first]) < 0x80) ++first;
    const std::size_t newline = text.find_last_of('\n', first);
    const std::size_t line_start = newline == std::string_view::npos ? 0 : newline + 1;
    std::u32string line;
    std::size_t non_ascii = std::u32string::npos;
    for (std::size_t i = line_start; i < text.size() && text[i] != '\n';) {
        std::size_t length = 0;
        const char32_t character = page.ReadCharacter(text.substr(i), &length);
        if (character >= 0x80 && non_ascii == std::u32string::npos) non_ascii = line.size();
        line.push_back(character);
        i += length;
    }
    if (non_ascii == std::u32string::npos) return {};
    std::size_t start = non_ascii;
    while (start > 0 && !EndsSample(line[start - 1])) --start;
    while (start < non_ascii && line[start] == ' ') ++start;
    std::size_t end = start;
    while (end < line.size() && end - start < kSampleLength && !EndsSample(line[end])) ++end;
    while (end > start && line[end - 1] == ' ') --end;
    std::string sample;
    for (std::size_t i = start; i < end; ++i) AppendCodePointAsUtf8(line[i], sample);
    return sample;
}

struct DetectorDeleter {
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

/// The supported code page the detector names for text, if any.
std::optional<CodePage> DetectedCodePage(std::string_view text) {
    const std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
    if (!detector) throw std::bad_alloc();
    if (uchardet_handle_data(detector.get(), text.data(), text.size()) != 0) return std::nullopt;
    uchardet_data_end(detector.get());
    const char* charset = uchardet_get_charset(detector.get());
    return charset == nullptr ? std::nullopt : SupportedCodePage(charset);
}

/// The supported code pages but UTF-8 (text that reads as UTF-8 is taken as such).
constexpr unsigned kCandidates[] = {1252, 1250, 1251, 1253, 1254, 1255, 1256,
                                    1257, 1258, 874,  932,  936,  949,  950};

/// The lines of text that hold a byte above 0x7F, each ended by a line feed,
/// up to about kMostBytes bytes.
std::string NonAsciiLines(std::string_view text) {
    constexpr std::size_t kMostBytes = 64 * 1024;
    std::string lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < kMostBytes) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        for (const char c : line) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                lines.append(line);
                lines.push_back('\n');
                break;
            }
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace

bool CanGuessCodePage() { return true; }

std::optional<CodePageGuess> GuessCodePage(std::string_view text, CodePage current) {
    // ASCII text, and UTF-8 text (which the readers take as such), need no guess.
    if (IsWellFormedUtf8(text)) return std::nullopt;
    // Lines of ASCII alone (outlines, numbers, markers) say nothing about the
    // code page; without them the detector hears the words better.
    const std::string lines = NonAsciiLines(text);
    if (CountOddities(lines, current) == 0) return std::nullopt;

    // The code pages other than current in which the text reads differently
    // and with nothing odd: the detector's answer among them, or the only one.
    std::vector<CodePage> clean;
    for (const unsigned number : kCandidates) {
        const CodePage page = *CodePage::Find(std::to_string(number));
        if (page != current && !ReadsTheSame(lines, page, current) &&
            CountOddities(lines, page) == 0) {
            clean.push_back(page);
        }
    }
    const std::optional<CodePage> detected = DetectedCodePage(lines);
    std::optional<CodePage> page;
    if (detected && std::find(clean.begin(), clean.end(), *detected) != clean.end()) {
        page = detected;
    } else if (clean.size() == 1) {
        page = clean.front();
    }
    if (!page) return std::nullopt;
    return CodePageGuess{*page, page->Description(), SampleText(lines, *page)};
}

}  // namespace dravonix
