#include "kbd/line_reader.h"

#include "kbd/scanner.h"

namespace {

/// Size of one block read from the file.
constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace

LineReader::LineReader(std::FILE* file) : file_(file), block_(kBlockSize) {}

int LineReader::Peek() {
    if (position_ == end_) {
        if (at_end_) return EOF;
        // A short read or a read error ends the input.
        end_ = std::fread(block_.data(), 1, block_.size(), file_);
        position_ = 0;
        if (end_ == 0) {
            at_end_ = true;
            return EOF;
        }
    }
    return static_cast<unsigned char>(block_[position_]);
}

void LineReader::SkipWhitespace() {
    for (int ch = Peek(); ch != EOF && IsCSpace(static_cast<char>(ch)); ch = Peek()) ++position_;
}

bool LineReader::Read(std::string& text) {
    text.clear();
    std::size_t length = 0;
    bool after_nul = false;
    while (length < kMaxLinePiece) {
        const int ch = Peek();
        if (ch == EOF || ch == '\n') break;
        ++position_;
        if (ch == '\r' && Peek() == '\n') break;  // CR LF is one newline; the skip takes the LF
        ++length;
        if (ch == '\0') after_nul = true;
        if (!after_nul) text.push_back(static_cast<char>(ch));
    }
    // Nothing read and nothing left: the end of the input. (An empty piece
    // before a newline can only occur at the start of the file.)
    if (length == 0 && Peek() == EOF) return false;
    SkipWhitespace();
    return true;
}

std::string_view CleanLine(std::string_view raw) {
    std::string_view line = raw;
    const std::size_t mark = line.find_first_of(";#\r");
    if (mark == 0) return {};
    if (mark != std::string_view::npos && (mark + 1 == line.size() || line[mark + 1] != '\'')) {
        line = line.substr(0, mark);
    }
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}
