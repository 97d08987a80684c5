#include "kbd/line_reader.h"

#include <algorithm>

#include "kbd/scanner.h"
#include "platform/unicode.h"

namespace dravonix {

namespace {

/// Size of one block read from the file. The first block is small and each
/// next one twice as large, up to kBlockSize, so that a small file costs no
/// large buffer.
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kFirstBlock = 4 * 1024;

/// The UTF-8 byte-order mark.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

/// True when no byte of text is above 0x7F.
bool IsAscii(const char* text, std::size_t size) {
    unsigned char any = 0;
    for (std::size_t i = 0; i < size; ++i) any |= static_cast<unsigned char>(text[i]);
    return any < 0x80;
}

/// Converts UTF-8 text, which starts on physical line `line`, to the bytes of
/// page; a byte that is no UTF-8 is kept as it is. Records every character
/// that has no bytes, and every byte kept, in changes.
std::vector<char> Utf8ToNarrow(CodePage page, std::string_view text, std::size_t line,
                               std::vector<CharacterChange>& changes) {
    std::vector<char> narrow;
    narrow.reserve(text.size());
    std::string bytes;  // of one character
    char32_t code_point = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char byte = text[i];
        if (static_cast<unsigned char>(byte) < 0x80) {
            if (byte == '\n') ++line;
            narrow.push_back(byte);
            ++i;
            continue;
        }
        const std::size_t length = DecodeUtf8(text.substr(i), &code_point);
        if (length == 0) {
            changes.push_back({line, static_cast<unsigned char>(byte), true});
            narrow.push_back(byte);
            ++i;
            continue;
        }
        bytes.clear();
        if (!page.AppendCharacter(code_point, bytes)) changes.push_back({line, code_point, false});
        narrow.insert(narrow.end(), bytes.begin(), bytes.end());
        i += length;
    }
    return narrow;
}

}  // namespace

LineReader::LineReader(ReadableFile& file, CodePage page)
    : file_(file), page_(page), block_(kFirstBlock) {}

int LineReader::Peek() {
    if (position_ == end_ && !Refill()) return kEnd;
    return static_cast<unsigned char>(block_[position_]);
}

bool LineReader::Refill() {
    if (at_end_) return false;
    // A file that filled the last block is larger than it: a larger one.
    if (end_ == block_.size() && end_ < kBlockSize) block_.resize(std::min(2 * end_, kBlockSize));
    // A read may deliver less than asked; only an empty one (or an error)
    // ends the input.
    if (!ReadBlock(0, &end_)) end_ = 0;
    position_ = 0;
    if (end_ == 0) {
        at_end_ = true;
        return false;
    }
    if (!encoding_chosen_) ChooseEncoding();
    return position_ < end_;  // false for a file of the byte-order mark alone
}

bool LineReader::ReadBlock(std::size_t offset, std::size_t* got) {
    *got = 0;
    if (!file_.Read(block_.data() + offset, block_.size() - offset, got, &error_)) {
        failed_ = true;
        *got = 0;
    }
    return *got != 0;
}

void LineReader::ChooseEncoding() {
    const bool from_start = first_block_;
    first_block_ = false;
    if (IsAscii(block_.data(), end_)) return;
    encoding_chosen_ = true;

    // Read the rest of the file behind the block, which then holds all that
    // is left of the input.
    std::size_t size = end_;
    for (;;) {
        block_.resize(size + std::clamp(size, kFirstBlock, kBlockSize));
        std::size_t got = 0;
        if (!ReadBlock(size, &got)) break;
        size += got;
    }
    block_.resize(size);
    end_ = size;
    at_end_ = true;

    std::string_view text(block_.data(), size);
    const bool marked = from_start && text.starts_with(kByteOrderMark);
    if (marked) {
        text.remove_prefix(kByteOrderMark.size());
    } else if (!IsWellFormedUtf8(text)) {
        return;  // the code page's bytes, as they are
    }
    if (page_.Number() == 65001) {
        // UTF-8 is the code page: the bytes stay, past the mark.
        position_ = static_cast<std::size_t>(text.data() - block_.data());
        return;
    }
    block_ = Utf8ToNarrow(page_, text, next_line_, changes_);
    position_ = 0;
    end_ = block_.size();
}

void LineReader::SkipWhitespace() {
    for (int ch = Peek(); ch != kEnd && IsCSpace(static_cast<char>(ch)); ch = Peek()) {
        if (ch == '\n') ++next_line_;
        ++position_;
    }
}

bool LineReader::Read(std::string& text) {
    text.clear();
    piece_line_ = next_line_;
    piece_had_nul_ = false;
    piece_had_lone_cr_ = false;
    std::size_t length = 0;
    bool after_nul = false;
    while (length < kMaxLinePiece && Peek() != kEnd) {
        // Take the run of bytes that need no care (not LF, CR or NUL) at once.
        const char* run = block_.data() + position_;
        const std::size_t room = std::min(end_ - position_, kMaxLinePiece - length);
        std::size_t size = 0;
        while (size < room && run[size] != '\n' && run[size] != '\r' && run[size] != '\0') ++size;
        if (size > 0) {
            if (!after_nul) text.append(run, size);
            position_ += size;
            length += size;
            continue;
        }
        const char ch = *run;
        if (ch == '\n') break;
        ++position_;
        if (ch == '\r' && Peek() == '\n') break;  // CR LF is one newline; the skip takes the LF
        ++length;
        if (ch == '\0') after_nul = piece_had_nul_ = true;
        if (!after_nul) {
            text.push_back(ch);
            if (ch == '\r') piece_had_lone_cr_ = true;
        }
    }
    piece_length_ = length;
    // Nothing read and nothing left: the end of the input. (An empty piece
    // before a newline can only occur at the start of the file.)
    if (length == 0 && Peek() == kEnd) return false;
    SkipWhitespace();
    return true;
}

std::string_view CleanLine(std::string_view raw) {
    std::string_view line = raw;
    std::size_t mark = 0;
    while (mark < line.size() && line[mark] != ';' && line[mark] != '#' && line[mark] != '\r') {
        ++mark;
    }
    if (mark == 0 && !line.empty()) return {};
    if (mark < line.size() && (mark + 1 == line.size() || line[mark + 1] != '\'')) {
        line = line.substr(0, mark);
    }
    std::size_t first = 0;
    while (first < line.size() && (line[first] == ' ' || line[first] == '\t')) ++first;
    if (first == line.size()) return {};
    std::size_t last = line.size() - 1;
    while (line[last] == ' ' || line[last] == '\t') --last;
    return line.substr(first, last - first + 1);
}

}  // namespace dravonix
