// What the check found in one file: which reader read it, whether it could
// be read, the findings in line order and the size of the keyboard read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "check/finding.h"
#include "model/key_definition.h"

namespace dravonix {

/// The size of a keyboard read, summed over its panels.
struct KeyboardCounts {
    std::size_t panels = 0;
    std::size_t keys = 0;  // keys of the three key collections
    std::size_t macros = 0;
    std::size_t sounds = 0;  // entries of the sound tables
};

/// Counts what definition holds.
KeyboardCounts CountKeyboard(const KeyDefinition& definition);

/// The check of one file.
struct CheckReport {
    bool readable = false;  // false: the file could not be opened or parsed
    std::string error;      // why it could not be read, for example "cannot open: No such file"
    std::size_t error_line = 0;  // the line the reason is about; 0 for the whole file
    std::vector<Finding> findings;
    KeyboardCounts counts;

    /// Adds a finding.
    void Add(std::size_t line, std::string_view kind, std::string message);
    /// Orders the findings by line, keeping the order of those on one line.
    void SortByLine();
};

/// The summary line of a readable file, without a line end:
/// "FILE: 2 panels, 40 keys, 1 macro, 3 sounds; 5 warnings".
std::string FormatSummary(std::string_view file, const CheckReport& report);

/// What dravonix-check prints for a readable file: the line of each finding
/// (FormatFinding), then the summary line with the reader that read it
/// ("FILE: ...; 5 warnings (read as .kbd)"), each ending in "\n".
std::string FormatFileReport(std::string_view file, const CheckReport& report,
                             std::string_view reader);

/// The error line of an unreadable file, without a line end:
/// "FILE: error: REASON", or "FILE:LINE: error: REASON" when the reason is
/// about one line.
std::string FormatReadError(std::string_view file, const CheckReport& report);

}  // namespace dravonix
