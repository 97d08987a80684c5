// A cursor that reads a line the way a scanf pattern does, one directive at
// a time, so that each parser reads like the pattern it implements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dravonix {

/// True for the C whitespace characters: blank, tab, LF, VT, FF and CR.
bool IsCSpace(char ch);

/// Reads a text from a start position. Every directive either matches and
/// advances, or fails; a failed directive ends the pattern, so callers chain
/// them with &&. Nothing is ever read beyond the end of the text.
class Scanner {
public:
    explicit Scanner(std::string_view text, std::size_t position = 0);

    /// Matches a literal: a blank matches any run of whitespace (possibly
    /// none), every other character must be the next character exactly.
    [[nodiscard]] bool Match(std::string_view literal);
    /// "%d": skips whitespace, takes an optional sign and one or more digits
    /// (all of them). A value beyond 32 bits saturates at the nearest bound.
    /// value is written only on success.
    [[nodiscard]] bool Int(std::int32_t& value);
    /// "%c": takes the next character, whatever it is.
    [[nodiscard]] bool Char(char& value);
    /// "%[^stop]": takes one or more characters up to stop or the end of the
    /// text; keeps at most max_kept of them in value (written on success).
    [[nodiscard]] bool TextUntil(char stop, std::size_t max_kept, std::string& value);
    /// "%s": skips whitespace and takes one or more non-whitespace characters
    /// into value (written on success).
    [[nodiscard]] bool Word(std::string& value);

    /// Where the next directive starts reading.
    std::size_t position() const { return position_; }

private:
    void SkipSpace();

    std::string_view text_;
    std::size_t position_;
};

}  // namespace dravonix
