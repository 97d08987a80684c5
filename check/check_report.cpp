#include "check/check_report.h"

#include <algorithm>
#include <utility>

#include "platform/counted_noun.h"

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

void CheckReport::Add(std::size_t line, std::string_view kind, std::string message) {
    findings.push_back(Finding{line, std::string(kind), std::move(message)});
}

void CheckReport::SortByLine() {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
}

std::string FormatSummary(std::string_view file, const CheckReport& report) {
    std::string text(file);
    text.append(": ").append(CountedNoun(report.counts.panels, "panel"));
    text.append(", ").append(CountedNoun(report.counts.keys, "key"));
    text.append(", ").append(CountedNoun(report.counts.macros, "macro"));
    text.append(", ").append(CountedNoun(report.counts.sounds, "sound"));
    text.append("; ").append(CountedNoun(report.findings.size(), "warning"));
    return text;
}

std::string FormatFileReport(std::string_view file, const CheckReport& report,
                             std::string_view reader) {
    std::string text;
    for (const Finding& finding : report.findings) {
        text.append(FormatFinding(file, finding)).push_back('\n');
    }
    text.append(FormatSummary(file, report)).append(" (read as ");
    return text.append(reader).append(")\n");
}

std::string FormatReadError(std::string_view file, const CheckReport& report) {
    std::string text(file);
    if (report.error_line > 0) text.append(":").append(std::to_string(report.error_line));
    text.append(": error: ").append(report.error);
    return text;
}

}  // namespace dravonix
