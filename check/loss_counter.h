// What a conversion from a legacy file loses, counted for the converter's
// one-line warning.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "kbd/kbd_observer.h"

namespace dravonix {

/// An observer of the legacy reader that counts what it drops or changes:
/// whole panels (a KEYDEF block not closed), and the lines of everything
/// else, each line once however many reports it has.
class LossCounter final : public KbdObserver {
public:
    void Report(std::size_t line, KbdIssue kind, std::string_view details) override;

    /// "1 panel and 3 lines", "2 lines", or empty when nothing was lost.
    std::string Summary();

private:
    std::size_t panels_ = 0;
    std::vector<std::size_t> lines_;
};

}  // namespace dravonix
