// What ParseKeyLine can and cannot read of a key line, found by scanning the
// line again the same way. Only the reports about a file use it; the model
// is filled by ParseKeyLine alone.
#pragma once

#include <cstddef>
#include <string_view>

namespace dravonix {

/// How far ParseKeyLine gets in a line.
enum class KeyLineReach : unsigned char {
    kNoBracket,  // the line does not start with "[": nothing read
    kNoClose,    // no "]": nothing read, not even the outline
    kNoFields,   // no comma after "]": the outline only
    kFields,     // the outline and `fields` of the items after it
};

/// The findings about one key line. Views point into the line.
struct KeyLineCheck {
    KeyLineReach reach = KeyLineReach::kNoBracket;
    std::size_t numbers = 0;          // numbers between the brackets
    std::size_t points = 0;           // points the outline keeps
    std::string_view points_end;      // where the points stopped before the last pair
    bool blank_before_comma = false;  // ... because of a blank before a comma
    /// Items of ", sound, type, vkey, number, 'c'" read, 0 to 5.
    int fields = 0;
    std::string_view fields_end;  // the text at the first item not read
    int type = -1;                // the type read, -1 when none
    // Type 16 only: the target text in double quotes.
    bool target_quoted = false;
    bool target_closed = false;
    std::size_t target_length = 0;
    std::string_view saturated;  // the first number read that does not fit in 32 bits
};

/// Scans line as ParseKeyLine does and says what it reads.
KeyLineCheck CheckKeyLine(std::string_view line);

/// A quick test, far cheaper than CheckKeyLine, for the common key line that
/// is read whole: an even number of at most 512 short numbers in brackets,
/// then sound id, type, virtual key, a number and a quoted character, or for
/// type 16 a quoted target of at most 127 characters. True only when
/// CheckKeyLine would find nothing to report; false says nothing.
bool IsPlainKeyLine(std::string_view line);

/// True when the number text (optional sign and digits) is outside the
/// 32-bit range.
bool IsOutside32Bits(std::string_view number);

}  // namespace dravonix
