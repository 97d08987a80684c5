// One thing a reader drops or changes in a file, as the check reports it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dravonix {

/// A finding of the check: where it is, what kind it is and what it means
/// for the keyboard read.
struct Finding {
    std::size_t line = 0;  // 1-based physical line of the file
    std::string kind;      // short name shown in brackets, such as "unknown-element"
    std::string message;   // in words for a user, without file, line or kind
    /// For a finding that drops lines line to last_line as a whole (a panel
    /// or macro never closed): last_line; findings inside are lost with it.
    /// 0 for a finding about its line alone.
    std::size_t last_line = 0;
};

/// The report line of a finding in the compilers' form
/// "FILE:LINE: warning: MESSAGE [kind]", without a line end.
std::string FormatFinding(std::string_view file, const Finding& finding);

}  // namespace dravonix
