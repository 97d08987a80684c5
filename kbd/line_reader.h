// Reading and cleaning the lines of a legacy keyboard file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace dravonix {

/// Longest piece of a line delivered by one read; longer lines come in pieces.
inline constexpr std::size_t kMaxLinePiece = 4096;

/// A character of a UTF-8 file that the reader changed: one without bytes
/// in the code page, read as "?", or (in a file marked as UTF-8 by its
/// byte-order mark) a byte that is no UTF-8, kept as the byte it is.
struct CharacterChange {
    std::size_t line;     // 1-based physical line of the character
    char32_t code_point;  // the character, or the byte that is no UTF-8
    bool not_utf8;        // true for a byte kept as it is
};

/// Reads a file sequentially in large blocks and delivers it line by line.
/// A CR LF pair is one newline; a lone CR stays in the line. Each read is
/// followed by a skip of all whitespace, so blank lines are never delivered
/// and only the first line can keep leading blanks. A read error ends the
/// input too, and failed() tells it from the end of the file. Does not own
/// the file.
///
/// The bytes are in the code page given, except in a file that starts with
/// the UTF-8 byte-order mark or whose bytes are all well-formed UTF-8 with at
/// least one sequence of several bytes: there the mark is skipped and each
/// character becomes its bytes in the code page, "?" when it has none (in
/// 65001 the bytes stay as they are), before the lines are
/// cut (so the piece limit counts those bytes). As bytes before the first one
/// above 0x7F read the same either way, the choice is made, once, when such
/// a byte is met; the rest of the file is then read into memory.
class LineReader {
public:
    explicit LineReader(ReadableFile& file, CodePage page = CodePage());

    /// The 1-based physical line of the piece the last Read delivered: the
    /// newlines before it are counted, so the pieces of a long line share
    /// the line's number.
    std::size_t line() const { return piece_line_; }
    /// The bytes the last piece took from its line, the NUL and what
    /// follows it included.
    std::size_t piece_length() const { return piece_length_; }
    /// True when the last piece held a NUL byte (its text ends before it).
    bool piece_had_nul() const { return piece_had_nul_; }
    /// True when the last piece's text holds a CR not followed by LF.
    bool piece_had_lone_cr() const { return piece_had_lone_cr_; }
    /// The characters changed so far in reading a UTF-8 file, in file order.
    const std::vector<CharacterChange>& character_changes() const { return changes_; }
    /// True when a read of the file failed: the input ended there, short of
    /// the file's end. error() then holds the file's reason.
    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }

    /// Reads the next piece: the bytes up to the next newline, at most
    /// kMaxLinePiece of them, then skips the whitespace that follows. text
    /// receives the piece up to its first NUL byte (the bytes after a NUL still
    /// count towards the piece's length). False at the end of the input.
    bool Read(std::string& text);

private:
    /// The next byte without taking it, or kEnd at the end of the input.
    int Peek();
    /// Reads the next block once the last is used up; false at the end of
    /// the input.
    bool Refill();
    void SkipWhitespace();
    /// Reads into block_ from offset on; false at the end of the file or on a
    /// read error, which it records.
    bool ReadBlock(std::size_t offset, std::size_t* got);
    /// Called with a new block while the text is still plain ASCII: at the
    /// first byte above 0x7F, reads the rest of the file behind the block and
    /// decides between Windows-1252 and UTF-8.
    void ChooseEncoding();

    static constexpr int kEnd = -1;

    ReadableFile& file_;
    CodePage page_;
    std::vector<char> block_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool at_end_ = false;
    bool failed_ = false;
    std::string error_;
    bool encoding_chosen_ = false;
    bool first_block_ = true;
    std::size_t next_line_ = 1;  // physical line of the byte at position_
    std::size_t piece_line_ = 0;
    std::size_t piece_length_ = 0;
    bool piece_had_nul_ = false;
    bool piece_had_lone_cr_ = false;
    std::vector<CharacterChange> changes_;
};

/// Cleans a raw line: the first ";", "#" or CR drops the whole line when it
/// is the first character, cuts the line before it unless a single quote
/// follows it (so `';'` in a key line survives), and then blanks and tabs are
/// trimmed at both ends. The result is a view into raw.
std::string_view CleanLine(std::string_view raw);

}  // namespace dravonix
