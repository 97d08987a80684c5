// Reading and cleaning the lines of a legacy keyboard file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace dravonix {

/// Longest piece of a line delivered by one read; longer lines come in pieces.
inline constexpr std::size_t kMaxLinePiece = 4096;

/// Reads a file sequentially in large blocks and delivers it line by line.
/// A CR LF pair is one newline; a lone CR stays in the line. Each read is
/// followed by a skip of all whitespace, so blank lines are never delivered
/// and only the first line can keep leading blanks. A read error ends the
/// input like the end of the file. Does not own the file.
class LineReader {
public:
    explicit LineReader(ReadableFile& file);

    /// Reads the next piece: the bytes up to the next newline, at most
    /// kMaxLinePiece of them, then skips the whitespace that follows. text
    /// receives the piece up to its first NUL byte (the bytes after a NUL still
    /// count towards the piece's length). False at the end of the input.
    bool Read(std::string& text);

private:
    /// The next byte without taking it, or kEnd at the end of the input.
    int Peek();
    void SkipWhitespace();

    static constexpr int kEnd = -1;

    ReadableFile& file_;
    std::vector<char> block_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool at_end_ = false;
};

/// Cleans a raw line: the first ";", "#" or CR drops the whole line when it
/// is the first character, cuts the line before it unless a single quote
/// follows it (so `';'` in a key line survives), and then blanks and tabs are
/// trimmed at both ends. The result is a view into raw.
std::string_view CleanLine(std::string_view raw);

}  // namespace dravonix
