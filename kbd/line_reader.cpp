#include "kbd/line_reader.h"

#include <algorithm>

#include "kbd/scanner.h"

namespace dravonix {

namespace {

/// Size of one block read from the file.
constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace

LineReader::LineReader(ReadableFile& file) : file_(file), block_(kBlockSize) {}

int LineReader::Peek() {
    if (position_ == end_) {
        if (at_end_) return kEnd;
        // A read may deliver less than asked; only an empty one (or an error)
        // ends the input.
        if (!file_.Read(block_.data(), block_.size(), &end_, nullptr)) end_ = 0;
        position_ = 0;
        if (end_ == 0) {
            at_end_ = true;
            return kEnd;
        }
    }
    return static_cast<unsigned char>(block_[position_]);
}

void LineReader::SkipWhitespace() {
    for (int ch = Peek(); ch != kEnd && IsCSpace(static_cast<char>(ch)); ch = Peek()) ++position_;
}

bool LineReader::Read(std::string& text) {
    text.clear();
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
        if (ch == '\0') after_nul = true;
        if (!after_nul) text.push_back(ch);
    }
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
