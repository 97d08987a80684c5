// What the check found in one file: which reader read it, whether it could
// be read, the findings in line order and the size of the keyboard read.
// check/report_text.h and check/json_report.h write it for people and for
// programs.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "check/finding.h"
#include "check/finding_class.h"
#include "check/input_kind.h"
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
    InputKind reader = InputKind::kKbd;  // the reader the file was given
    bool readable = false;               // false: the file could not be opened or parsed
    std::string error;  // why it could not be read, for example "cannot open: No such file"
    std::size_t error_line = 0;  // the line the reason is about; 0 for the whole file
    std::vector<Finding> findings;
    KeyboardCounts counts;
    /// Of a legacy file, the panels (by index) whose normal image path the
    /// reader cut at a blank, with the path as written (Windows-1252), for
    /// the note of a picture.
    std::map<std::size_t, std::string> cut_images;
    /// When the file's text reads much better in another code page than in
    /// the one it was read in, what it reads as there and the option to
    /// choose it ("the text reads as Cyrillic in code page 1251 (...);
    /// convert with --code-page=1251"); empty otherwise.
    std::string code_page_note;
    /// The number of the code page the file was read in, when it was chosen
    /// for this file (a batch's --code-page=auto); 0 otherwise.
    unsigned code_page = 0;

    /// Adds a finding (last_line: see Finding).
    void Add(std::size_t line, std::string_view kind, std::string message,
             std::size_t last_line = 0);
    /// Orders the findings by line, keeping the order of those on one line.
    void SortByLine();
};

/// What report's findings drop and keep with notes (check/finding_class.h).
FindingTally TallyReport(const CheckReport& report);

/// A checked file: its name as the reports show it, and its check.
struct FileCheck {
    std::string file;
    CheckReport report;
};

/// The outcome of a run over many files.
struct RunTally {
    std::size_t files = 0;
    std::size_t clean = 0;
    std::size_t with_warnings = 0;
    std::size_t unreadable = 0;

    /// Counts the check of one more file.
    void Add(const CheckReport& report);
    /// The check's exit status: 0 when every file is clean, 1 when any has
    /// warnings, 2 when any is unreadable.
    int ExitStatus() const;
};

}  // namespace dravonix
