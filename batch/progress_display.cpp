#include "batch/progress_display.h"

#include "platform/unicode.h"

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

std::string TerminalText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        char32_t c = 0;
        std::size_t length = DecodeUtf8(text, &c);
        const bool control = length == 0 || c < 0x20 || (c >= 0x7F && c <= 0x9F);
        if (length == 0) length = 1;
        for (unsigned char byte : text.substr(0, length)) {
            if (control) {
                shown.append("\\x").push_back(kHex[byte >> 4]);
                shown.push_back(kHex[byte & 15]);
            } else {
                shown.push_back(static_cast<char>(byte));
            }
        }
        text.remove_prefix(length);
    }
    return shown;
}

std::string ResultLine(const JobResult& result) {
    const std::string name = TerminalText(result.relative);
    if (result.up_to_date) return "skipped   " + name + " (up to date)";
    switch (result.outcome) {
        case JobOutcome::kClean:
            return "converted " + name;
        case JobOutcome::kWarnings:
            return "warnings  " + name + " (" + std::to_string(result.warnings) + ")";
        case JobOutcome::kFailed:
            return "failed    " + name + ": " + TerminalText(result.error);
    }
    return name;
}

std::string ProgressLine(std::size_t done, std::size_t total, std::size_t failed,
                         std::chrono::nanoseconds elapsed) {
    const std::size_t filled = total == 0 ? kBarWidth : done * kBarWidth / total;
    std::string line = "[";
    line.append(filled, '#').append(kBarWidth - filled, '-').append("] ");
    line += std::to_string(done) + "/" + std::to_string(total) + " files";
    if (failed != 0) line += ", " + std::to_string(failed) + " failed";
    if (done != 0 && done < total) {
        const auto left = elapsed / done * (total - done);
        line += ", " + Minutes(std::chrono::duration_cast<std::chrono::seconds>(left).count()) +
                " left";
    }
    return line;
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
    Write(stream_,
          Redraw(ProgressLine(done_, total_, failed_, std::chrono::steady_clock::now() - start_)));
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
