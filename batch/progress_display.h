// What a batch shows while it runs: on a terminal one progress line redrawn
// in place, elsewhere (a log, a pipe) one line per keyboard. File names and
// reasons are shown with their control characters escaped, so that a name
// can never move the cursor or rewrite the terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "batch/batch_run.h"

namespace dravonix {

class ProgressDisplay final : public BatchProgress {
public:
    /// Shows the progress of total keyboards on stream; redraws one line
    /// when terminal, else writes a line per keyboard.
    ProgressDisplay(std::FILE* stream, bool terminal, std::size_t total);

    void Done(const JobResult& result) override;

    /// Ends the progress line on a terminal.
    void Finish();

private:
    /// Text that overwrites the line shown with line.
    std::string Redraw(const std::string& line);

    std::FILE* stream_;
    bool terminal_;
    std::size_t total_;
    std::size_t done_ = 0;
    std::size_t failed_ = 0;
    std::size_t shown_ = 0;  // length of the line on the screen
    std::chrono::steady_clock::time_point start_;
};

/// The line for one keyboard: "converted de/pad.kbd", "warnings  de/pad.kbd
/// (3)", "failed    de/pad.kbd: REASON" or "skipped   de/pad.kbd (up to
/// date)", escaped as by TerminalText.
std::string ResultLine(const JobResult& result);

/// The progress line after done of total keyboards, failed of them failed,
/// elapsed since the start: "[####------] 3/10 files, 1 failed, 1:05 left"
/// (a bar of 30, the failures only when there are some, the time left, as
/// minutes and seconds, only while some are left).
std::string ProgressLine(std::size_t done, std::size_t total, std::size_t failed,
                         std::chrono::nanoseconds elapsed);

/// text as a terminal may be given it: each byte of a control character
/// (below 0x20, DEL, and U+0080 to U+009F) and each byte that is no UTF-8
/// written as "\xNN".
std::string TerminalText(std::string_view text);

}  // namespace dravonix
