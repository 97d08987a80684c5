#include "check/loss_counter.h"

#include <algorithm>

#include "platform/counted_noun.h"

namespace dravonix {

void LossCounter::Report(std::size_t line, KbdIssue kind, std::string_view) {
    if (kind == KbdIssue::kUnclosedKeydef) {
        ++panels_;
    } else {
        lines_.push_back(line);
    }
}

std::string LossCounter::Summary() {
    std::sort(lines_.begin(), lines_.end());
    const auto lines =
        static_cast<std::size_t>(std::unique(lines_.begin(), lines_.end()) - lines_.begin());
    std::string text;
    if (panels_ != 0) text = CountedNoun(panels_, "panel");
    if (panels_ != 0 && lines != 0) text += " and ";
    if (lines != 0) text += CountedNoun(lines, "line");
    return text;
}

}  // namespace dravonix
