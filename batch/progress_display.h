// What a batch shows while it runs: on a terminal one progress line redrawn
// in place, elsewhere (a log, a pipe) one line per keyboard.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

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
    void DrawBar();
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

/// The line for one keyboard: "converted de/pad.kbd", "warnings de/pad.kbd
/// (3)", "failed de/pad.kbd: REASON" or "skipped de/pad.kbd (up to date)".
std::string ResultLine(const JobResult& result);

}  // namespace dravonix
