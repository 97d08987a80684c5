#include "check/report_text.h"

#include <map>
#include <utility>
#include <vector>

#include "platform/counted_noun.h"

namespace dravonix {

namespace {

/// How many lines a group of findings names.
constexpr std::size_t kListedLines = 10;

/// Findings of one kind with one message.
struct FindingGroup {
    std::size_t first = 0;  // index of its first finding
    std::size_t count = 0;
    std::vector<std::size_t> lines;  // distinct, in order
};

/// ": 12 keys, lines 3, 5, 9" after the message of a group.
std::string GroupWords(const FindingGroup& group, const FindingClass& cls, InputKind reader) {
    std::string words = ": ";
    if (cls.unit == FindingUnit::kLine) {
        words += CountedNoun(group.count, "line") + ": ";
    } else if (cls.unit == FindingUnit::kNone) {
        words += CountedNoun(group.count, "time") + ", lines ";
    } else {
        words += CountedNoun(group.count, UnitNoun(cls.unit, cls.effect, reader)) + ", lines ";
    }
    for (std::size_t i = 0; i < group.lines.size() && i < kListedLines; ++i) {
        if (i > 0) words += ", ";
        words += std::to_string(group.lines[i]);
    }
    if (group.lines.size() > kListedLines) words += ", \xE2\x80\xA6";
    return words;
}

/// The finding lines of a readable report, repeats grouped.
void AppendFindings(std::string_view file, const CheckReport& report, std::string& text) {
    const std::vector<Finding>& findings = report.findings;
    std::vector<FindingGroup> groups;
    std::map<std::pair<std::string_view, std::string_view>, std::size_t> group_of;
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const auto [at, added] =
            group_of.try_emplace({findings[i].kind, findings[i].message}, groups.size());
        if (added) groups.push_back({i, 0, {}});
        FindingGroup& group = groups[at->second];
        ++group.count;
        if (group.lines.empty() || group.lines.back() != findings[i].line) {
            group.lines.push_back(findings[i].line);
        }
    }
    for (const FindingGroup& group : groups) {
        const Finding& first = findings[group.first];
        if (group.count == 1) {
            text.append(FormatFinding(file, first)).push_back('\n');
            continue;
        }
        Finding grouped = first;
        grouped.message +=
            GroupWords(group, ClassifyFinding(first.kind, report.reader), report.reader);
        text.append(FormatFinding(file, grouped)).push_back('\n');
    }
}

}  // namespace

std::string FormatCheckReport(std::string_view file, const CheckReport& report, bool quiet) {
    std::string text;
    if (!report.readable) {
        text.append(FormatReadError(file, report)).push_back('\n');
        return text;
    }
    if (!quiet) AppendFindings(file, report, text);
    if (!quiet && !report.code_page_note.empty()) {
        text.append(file).append(": note: ").append(report.code_page_note);
        text.append(" [code-page]\n");
    }
    text.append(FormatSummary(file, report)).push_back('\n');
    return text;
}

std::string FormatSummary(std::string_view file, const CheckReport& report) {
    std::string text(file);
    text.append(": ").append(CountedNoun(report.counts.panels, "panel"));
    text.append(", ").append(CountedNoun(report.counts.keys, "key"));
    text.append(", ").append(CountedNoun(report.counts.macros, "macro"));
    text.append(", ").append(CountedNoun(report.counts.sounds, "sound"));
    text.append("; ").append(CountedNoun(report.findings.size(), "warning"));
    const FindingTally tally = TallyReport(report);
    std::vector<std::string> parts;
    if (tally.no_keyboard > 0) parts.emplace_back("no keyboard");
    if (std::string described = DescribeTally(tally); !described.empty()) {
        parts.push_back(std::move(described));
    }
    if (tally.schema > 0) parts.push_back(std::to_string(tally.schema) + " from the schema");
    for (std::size_t i = 0; i < parts.size(); ++i)
        text.append(i == 0 ? ": " : ", ").append(parts[i]);
    text.append(" (read as ").append(ReaderName(report.reader)).append(")");
    return text;
}

std::string FormatReadError(std::string_view file, const CheckReport& report) {
    std::string text(file);
    if (report.error_line > 0) text.append(":").append(std::to_string(report.error_line));
    text.append(": error: ").append(report.error);
    return text;
}

std::string FormatRunSummary(const RunTally& run) {
    return CountedNoun(run.files, "file") + " checked: " + std::to_string(run.clean) + " clean, " +
           std::to_string(run.with_warnings) + " with warnings, " + std::to_string(run.unreadable) +
           " unreadable";
}

}  // namespace dravonix
