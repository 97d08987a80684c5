// The check's report as people read it: the lines dravonix-check prints,
// which the batch's NAME.check.txt and the web page's report hold as well.
#pragma once

#include <string>
#include <string_view>

#include "check/check_report.h"

namespace dravonix {

/// The lines of the check of file, each ending in "\n". A readable file
/// gives its findings (unless quiet), then its summary line; findings of one
/// kind with the same message are given once, at the first of their lines:
///   FILE:3: warning: sound 5 is not in the panel's table: 12 keys, lines 3,
///   5, 9, 11 [sound-missing]
/// (at most ten lines named, then an ellipsis, U+2026). An unreadable file gives its error
/// line (FormatReadError), which the command prints on standard error.
std::string FormatCheckReport(std::string_view file, const CheckReport& report, bool quiet = false);

/// The summary line of a readable file, without a line end: its size, the
/// count of findings and what they drop and keep, and the reader:
/// "FILE: 2 panels, 40 keys, 1 macro, 3 sounds; 5 warnings: 1 panel dropped,
/// 4 keys kept with notes (read as .kbd)".
std::string FormatSummary(std::string_view file, const CheckReport& report);

/// The error line of an unreadable file, without a line end:
/// "FILE: error: REASON", or "FILE:LINE: error: REASON" when the reason is
/// about one line.
std::string FormatReadError(std::string_view file, const CheckReport& report);

/// The summary line of a run, without a line end: "3 files checked: 1 clean,
/// 1 with warnings, 1 unreadable".
std::string FormatRunSummary(const RunTally& run);

}  // namespace dravonix
