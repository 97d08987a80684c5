#include "check/check_report.h"

#include <algorithm>
#include <utility>

namespace dravonix {

KeyboardCounts CountKeyboard(const KeyDefinition& definition) {
    KeyboardCounts counts;
    counts.panels = definition.subkeydef.size();
    for (const SubKeyDefinition& panel : definition.subkeydef) {
        counts.keys += panel.nonshiftkeys.key.size() + panel.keyswithoutshift.key.size() +
                       panel.keyswithshift.key.size();
        counts.macros += panel.nonshiftkeys.macro.size();
        counts.sounds += panel.sounds.size();
    }
    return counts;
}

void CheckReport::Add(std::size_t line, std::string_view kind, std::string message,
                      std::size_t last_line) {
    findings.push_back(Finding{line, std::string(kind), std::move(message), last_line});
}

void CheckReport::SortByLine() {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

FindingTally TallyReport(const CheckReport& report) {
    std::vector<ClassifiedFinding> classified;
    classified.reserve(report.findings.size());
    for (const Finding& finding : report.findings) {
        classified.push_back(
            {finding.line, finding.last_line, ClassifyFinding(finding.kind, report.reader)});
    }
    return TallyFindings(classified, report.reader);
}

void RunTally::Add(const CheckReport& report) {
    ++files;
    if (!report.readable) {
        ++unreadable;
    } else if (report.findings.empty()) {
        ++clean;
    } else {
        ++with_warnings;
    }
}

int RunTally::ExitStatus() const {
    if (unreadable > 0) return 2;
    return with_warnings > 0 ? 1 : 0;
}

}  // namespace dravonix
