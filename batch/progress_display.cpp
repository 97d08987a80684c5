#include "batch/progress_display.h"

namespace dravonix {

namespace {

constexpr std::size_t kBarWidth = 30;

void Write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

// "m:ss" for a number of seconds.
std::string Minutes(long long seconds) {
    const long long rest = seconds % 60;
    return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

}  // namespace

std::string ResultLine(const JobResult& result) {
    switch (result.outcome) {
        case JobOutcome::kClean:
            return "converted " + result.relative;
        case JobOutcome::kWarnings:
            return "warnings  " + result.relative + " (" + std::to_string(result.warnings) + ")";
        case JobOutcome::kFailed:
            return "failed    " + result.relative + ": " + result.error;
        case JobOutcome::kSkipped:
            return "skipped   " + result.relative + " (up to date)";
    }
    return result.relative;
}

ProgressDisplay::ProgressDisplay(std::FILE* stream, bool terminal, std::size_t total)
    : stream_(stream),
      terminal_(terminal),
      total_(total),
      start_(std::chrono::steady_clock::now()) {}

void ProgressDisplay::Done(const JobResult& result) {
    ++done_;
    if (result.outcome == JobOutcome::kFailed) ++failed_;
    if (!terminal_) {
        Write(stream_, ResultLine(result) + "\n");
        return;
    }
    // Failures stay on the screen above the bar.
    if (result.outcome == JobOutcome::kFailed) {
        Write(stream_, Redraw(ResultLine(result)) + "\n");
        shown_ = 0;
    }
    DrawBar();
}

void ProgressDisplay::DrawBar() {
    const std::size_t filled = total_ == 0 ? kBarWidth : done_ * kBarWidth / total_;
    std::string line = "[";
    line.append(filled, '#').append(kBarWidth - filled, '-').append("] ");
    line += std::to_string(done_) + "/" + std::to_string(total_) + " files";
    if (failed_ != 0) line += ", " + std::to_string(failed_) + " failed";
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    if (done_ != 0 && done_ < total_) {
        const auto left = elapsed / done_ * (total_ - done_);
        line += ", " + Minutes(std::chrono::duration_cast<std::chrono::seconds>(left).count()) +
                " left";
    }
    Write(stream_, Redraw(line));
}

// Blanks stand in for the terminal's erase-line code, which not every Windows
// console knows.
std::string ProgressDisplay::Redraw(const std::string& line) {
    std::string text = "\r" + line;
    if (line.size() < shown_) text.append(shown_ - line.size(), ' ');
    shown_ = line.size();
    return text;
}

void ProgressDisplay::Finish() {
    if (terminal_ && total_ != 0) Write(stream_, "\n");
}

}  // namespace dravonix
