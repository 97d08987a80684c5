// The check's report for programs: one JSON document with an object per
// file and the run's summary. dravonix-check --format=json prints it and the
// batch writes it as summary.json. The manual page of dravonix-check gives
// the shape; its counts are those of the text report (check/report_text.h).
#pragma once

#include <span>
#include <string>

#include "check/check_report.h"

namespace dravonix {

/// The JSON document of the checks of files, in their order, ending in a
/// line end:
///
///   {"files": [
///   {"file": "pad.kbd", "reader": ".kbd", "readable": true, "panels": 2,
///    "keys": 20, "macros": 2, "sounds": 4, "warnings": 2, "no_keyboard": 0,
///    "schema": 0, "dropped": {"key_lines": 1}, "kept_with_notes": {"keys": 1},
///    "findings": [{"line": 3, "kind": "key-line-unread", "effect": "loss",
///    "message": "..."}, ...]},
///   {"file": "gone.kbd", "reader": ".kbd", "readable": false,
///    "error": "cannot open: ...", "error_line": 0}
///   ],
///   "summary": {"files": 2, "clean": 0, "with_warnings": 1, "unreadable": 1}}
///
/// with one file object a line. "dropped" and "kept_with_notes" name the
/// counted things as the text does, in the plural with "_" for blanks, and
/// leave out what counts 0; "effect" is "loss", "note", "no-keyboard" or
/// "schema". Text that is no UTF-8 (a file name) gets U+FFFD for each byte
/// that is not.
std::string FormatJsonReport(std::span<const FileCheck> files);

}  // namespace dravonix
