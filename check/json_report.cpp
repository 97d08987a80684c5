#include "check/json_report.h"

#include <cstdio>

#include "platform/unicode.h"

namespace dravonix {

namespace {

/// Appends text as a JSON string.
void AppendString(std::string_view text, std::string& out) {
    out.push_back('"');
    for (std::size_t at = 0; at < text.size();) {
        // Most text is printable ASCII, copied a run at a time.
        std::size_t plain = at;
        while (plain < text.size()) {
            const auto byte = static_cast<unsigned char>(text[plain]);
            if (byte < 0x20 || byte >= 0x80 || byte == '"' || byte == '\\') break;
            ++plain;
        }
        out.append(text.substr(at, plain - at));
        at = plain;
        if (at == text.size()) break;
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x80) {
            char32_t code_point = 0;
            const std::size_t length = DecodeUtf8(text.substr(at), &code_point);
            if (length == 0) {
                out.append("\xEF\xBF\xBD");
                ++at;
            } else {
                out.append(text.substr(at, length));
                at += length;
            }
            continue;
        }
        ++at;
        if (byte == '"' || byte == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(byte));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out.append(escaped);
        }
    }
    out.push_back('"');
}

/// Appends "key": number.
void AppendNumber(std::string_view key, std::size_t value, std::string& out) {
    AppendString(key, out);
    out.append(": ").append(std::to_string(value));
}

std::string_view EffectName(FindingEffect effect) {
    switch (effect) {
        case FindingEffect::kLoss:
            return "loss";
        case FindingEffect::kNote:
            return "note";
        case FindingEffect::kNoKeyboard:
            return "no-keyboard";
        case FindingEffect::kSchema:
            return "schema";
    }
    return "note";
}

/// Appends the object of counts, such as {"panels": 1, "key_lines": 3}.
void AppendCounts(const std::array<std::size_t, kFindingUnitCount>& counts, FindingEffect effect,
                  InputKind reader, std::string& out) {
    out.push_back('{');
    bool first = true;
    for (std::size_t unit = 0; unit < kFindingUnitCount; ++unit) {
        if (counts[unit] == 0) continue;
        std::string key(UnitNoun(static_cast<FindingUnit>(unit), effect, reader));
        for (char& c : key) {
            if (c == ' ') c = '_';
        }
        key.push_back('s');
        if (!first) out.append(", ");
        first = false;
        AppendNumber(key, counts[unit], out);
    }
    out.push_back('}');
}

void AppendFileObject(const FileCheck& file, std::string& out) {
    const CheckReport& report = file.report;
    out.append("{\"file\": ");
    AppendString(file.file, out);
    out.append(", \"reader\": ");
    AppendString(ReaderName(report.reader), out);
    if (!report.readable) {
        out.append(", \"readable\": false, \"error\": ");
        AppendString(report.error, out);
        out.append(", ");
        AppendNumber("error_line", report.error_line, out);
        out.push_back('}');
        return;
    }
    out.append(", \"readable\": true, ");
    if (report.code_page != 0) {
        AppendNumber("code_page", report.code_page, out);
        out.append(", ");
    }
    AppendNumber("panels", report.counts.panels, out);
    out.append(", ");
    AppendNumber("keys", report.counts.keys, out);
    out.append(", ");
    AppendNumber("macros", report.counts.macros, out);
    out.append(", ");
    AppendNumber("sounds", report.counts.sounds, out);
    out.append(", ");
    AppendNumber("warnings", report.findings.size(), out);
    const FindingTally tally = TallyReport(report);
    out.append(", ");
    AppendNumber("no_keyboard", tally.no_keyboard, out);
    out.append(", ");
    AppendNumber("schema", tally.schema, out);
    out.append(", \"dropped\": ");
    AppendCounts(tally.dropped, FindingEffect::kLoss, report.reader, out);
    out.append(", \"kept_with_notes\": ");
    AppendCounts(tally.noted, FindingEffect::kNote, report.reader, out);
    out.append(", \"findings\": [");
    for (std::size_t i = 0; i < report.findings.size(); ++i) {
        const Finding& finding = report.findings[i];
        if (i > 0) out.append(", ");
        out.append("{");
        AppendNumber("line", finding.line, out);
        out.append(", \"kind\": ");
        AppendString(finding.kind, out);
        out.append(", \"effect\": ");
        AppendString(EffectName(ClassifyFinding(finding.kind, report.reader).effect), out);
        out.append(", \"message\": ");
        AppendString(finding.message, out);
        out.append("}");
    }
    out.append("]");
    if (!report.code_page_note.empty()) {
        out.append(", \"code_page_note\": ");
        AppendString(report.code_page_note, out);
    }
    out.append("}");
}

}  // namespace

std::string FormatJsonReport(std::span<const FileCheck> files) {
    std::string out = "{\"files\": [\n";
    RunTally run;
    for (std::size_t i = 0; i < files.size(); ++i) {
        AppendFileObject(files[i], out);
        out.append(i + 1 < files.size() ? ",\n" : "\n");
        run.Add(files[i].report);
    }
    out.append("],\n\"summary\": {");
    AppendNumber("files", run.files, out);
    out.append(", ");
    AppendNumber("clean", run.clean, out);
    out.append(", ");
    AppendNumber("with_warnings", run.with_warnings, out);
    out.append(", ");
    AppendNumber("unreadable", run.unreadable, out);
    out.append("}}\n");
    return out;
}

}  // namespace dravonix
