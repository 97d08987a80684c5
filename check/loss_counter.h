// What a conversion from a legacy file loses and keeps changed, counted for
// the converter's one-line warning.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "check/finding_class.h"
#include "kbd/kbd_observer.h"

namespace dravonix {

/// An observer of the legacy reader that classifies what it reports
/// (check/finding_class.h) and keeps only the classes and lines, so that it
/// costs little however much a file reports.
class LossCounter final : public KbdObserver {
public:
    void Report(std::size_t line, KbdIssue kind, std::string_view details) override;
    void ReportDropped(std::size_t first, std::size_t last, KbdIssue kind,
                       std::string_view details) override;

    /// "1 panel and 3 key lines dropped, 4 keys kept with notes", or empty
    /// when nothing was dropped or changed.
    std::string Summary();
    /// Why the file holds no keyboard ("no [KEYDEF] block found: ..."), or
    /// empty when it holds one.
    const std::string& no_keyboard() const { return no_keyboard_; }
    /// How many reports came, the one of no keyboard included.
    std::size_t reports() const { return findings_.size(); }

private:
    std::vector<ClassifiedFinding> findings_;
    std::string no_keyboard_;
};

}  // namespace dravonix
