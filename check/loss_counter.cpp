#include "check/loss_counter.h"

namespace dravonix {

void LossCounter::Report(std::size_t line, KbdIssue kind, std::string_view details) {
    ReportDropped(line, 0, kind, details);
}

void LossCounter::ReportDropped(std::size_t first, std::size_t last, KbdIssue kind,
                                std::string_view details) {
    // Its words are ASCII: they quote nothing from the file.
    if (kind == KbdIssue::kNoKeydef) no_keyboard_ = details;
    findings_.push_back({first, last, ClassifyFinding(KbdIssueName(kind), InputKind::kKbd)});
}

std::string LossCounter::Summary() {
    return DescribeTally(TallyFindings(findings_, InputKind::kKbd));
}

}  // namespace dravonix
