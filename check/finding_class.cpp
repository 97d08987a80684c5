#include "check/finding_class.h"

#include <algorithm>

#include "platform/counted_noun.h"

namespace dravonix {

namespace {

using E = FindingEffect;
using U = FindingUnit;

/// The class of one kind of finding, by the reader that reports it: a few
/// names are reported by both readers, about different things.
struct KindClass {
    std::string_view kind;
    FindingEffect effect;
    FindingUnit kbd_unit;
    FindingUnit xml_unit;
};

// Every kind either reader reports (kbd/kbd_observer.h, check/xml_check.h),
// and those of the media check. The manual page of dravonix-check gives the
// same table in words.
constexpr KindClass kKinds[] = {
    // The legacy reader.
    {"unclosed-keydef", E::kLoss, U::kPanel, U::kPanel},
    {"unclosed-section", E::kLoss, U::kLine, U::kLine},
    {"marker-case", E::kLoss, U::kLine, U::kLine},
    {"marker-misplaced", E::kLoss, U::kLine, U::kLine},
    {"stray-line", E::kLoss, U::kLine, U::kLine},
    {"extra-panel", E::kNote, U::kPanel, U::kPanel},
    {"unknown-header", E::kLoss, U::kLine, U::kLine},
    {"key-line-unread", E::kLoss, U::kKey, U::kKey},
    {"key-line-partial", E::kNote, U::kKey, U::kKey},
    {"shift-traces", E::kNote, U::kKey, U::kKey},
    {"points-cut", E::kNote, U::kKey, U::kKey},
    {"target-cut", E::kNote, U::kKey, U::kKey},
    {"number-saturated", E::kNote, U::kLine, U::kLine},
    {"stroke-unread", E::kLoss, U::kStroke, U::kStroke},
    {"macro-unclosed", E::kLoss, U::kMacro, U::kMacro},
    {"macro-closed-by-section", E::kNote, U::kMacro, U::kMacro},
    {"sound-line", E::kLoss, U::kSound, U::kSound},
    {"sound-id-zero", E::kNote, U::kSound, U::kSound},
    {"sound-missing", E::kNote, U::kKey, U::kKey},
    {"long-line", E::kNote, U::kLine, U::kLine},
    {"nul-byte", E::kNote, U::kLine, U::kLine},
    {"nul-line", E::kLoss, U::kLine, U::kLine},
    {"lone-cr", E::kNote, U::kLine, U::kLine},
    {"lone-cr-line", E::kLoss, U::kLine, U::kLine},
    {"image-path-cut", E::kNote, U::kLine, U::kLine},
    {"no-keydef", E::kNoKeyboard, U::kNone, U::kNone},
    // Both readers.
    {"sound-duplicate", E::kLoss, U::kSound, U::kSound},
    {"character-replaced", E::kNote, U::kLine, U::kValue},
    {"media-missing", E::kNote, U::kMediaFile, U::kMediaFile},
    {"media-case", E::kNote, U::kMediaFile, U::kMediaFile},
    {"media-refused", E::kNote, U::kMediaFile, U::kMediaFile},
    // The XML reader.
    {"unknown-element", E::kLoss, U::kElement, U::kElement},
    {"unknown-attribute", E::kLoss, U::kAttribute, U::kAttribute},
    {"not-a-number", E::kLoss, U::kElement, U::kElement},
    {"value-ignored", E::kNote, U::kValue, U::kValue},
    {"comment-dropped", E::kLoss, U::kComment, U::kComment},
    {"instruction-dropped", E::kLoss, U::kInstruction, U::kInstruction},
    {"doctype-dropped", E::kLoss, U::kDoctype, U::kDoctype},
    {"root-not-keydef", E::kNoKeyboard, U::kNone, U::kNone},
    {"schema", E::kSchema, U::kNone, U::kNone},
};

/// Appends the counts of one effect as "1 panel, 3 key lines and 2 other
/// lines"; false when all are 0.
bool AppendCounts(const std::array<std::size_t, kFindingUnitCount>& counts, FindingEffect effect,
                  InputKind reader, std::string& text) {
    std::vector<std::string> parts;
    const bool other_lines = reader == InputKind::kKbd && effect == E::kLoss &&
                             (counts[static_cast<std::size_t>(U::kKey)] != 0 ||
                              counts[static_cast<std::size_t>(U::kSound)] != 0 ||
                              counts[static_cast<std::size_t>(U::kStroke)] != 0);
    for (std::size_t unit = 0; unit < kFindingUnitCount; ++unit) {
        if (counts[unit] == 0) continue;
        const auto u = static_cast<FindingUnit>(unit);
        const std::string_view noun =
            u == U::kLine && other_lines ? "other line" : UnitNoun(u, effect, reader);
        parts.push_back(CountedNoun(counts[unit], noun));
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
        text += parts[i];
    }
    return !parts.empty();
}

}  // namespace

FindingClass ClassifyFinding(std::string_view kind, InputKind reader) {
    for (const KindClass& entry : kKinds) {
        if (entry.kind == kind) {
            return {entry.effect, reader == InputKind::kKbd ? entry.kbd_unit : entry.xml_unit};
        }
    }
    return {};
}

std::string_view UnitNoun(FindingUnit unit, FindingEffect effect, InputKind reader) {
    // A legacy file loses whole lines: a key line is dropped, not a key.
    const bool lines = reader == InputKind::kKbd && effect == E::kLoss;
    switch (unit) {
        case U::kPanel:
            return "panel";
        case U::kMacro:
            return "macro";
        case U::kKey:
            return lines ? "key line" : "key";
        case U::kSound:
            return lines ? "sound line" : "sound";
        case U::kStroke:
            return lines ? "stroke line" : "stroke";
        case U::kElement:
            return "element";
        case U::kAttribute:
            return "attribute";
        case U::kValue:
            return "value";
        case U::kComment:
            return "comment";
        case U::kInstruction:
            return "processing instruction";
        case U::kDoctype:
            return "document type declaration";
        case U::kMediaFile:
            return "media file";
        case U::kLine:
            return "line";
        case U::kNone:
            break;
    }
    return "finding";
}

FindingTally TallyFindings(std::vector<ClassifiedFinding>& findings, InputKind reader) {
    FindingTally tally;
    tally.reader = reader;
    // Heaviest first within a line: losses, then by unit.
    const auto weight = [](const FindingClass& c) {
        const int effect = c.effect == E::kLoss ? 0 : c.effect == E::kNote ? 1 : 2;
        return effect * 256 + static_cast<int>(c.unit);
    };
    // The stretches dropped as a whole, from their first line on; a stretch
    // inside another (a macro in a panel) changes nothing.
    std::vector<std::pair<std::size_t, std::size_t>> stretches;
    if (reader == InputKind::kKbd) {
        std::sort(findings.begin(), findings.end(),
                  [&](const ClassifiedFinding& a, const ClassifiedFinding& b) {
                      if (a.line != b.line) return a.line < b.line;
                      return weight(a.cls) < weight(b.cls);
                  });
        for (const ClassifiedFinding& finding : findings) {
            if (finding.last_line <= finding.line || finding.cls.effect != E::kLoss) continue;
            if (!stretches.empty() && finding.line <= stretches.back().second) {
                stretches.back().second = std::max(stretches.back().second, finding.last_line);
            } else {
                stretches.emplace_back(finding.line, finding.last_line);
            }
        }
    }
    std::size_t stretch = 0;
    const auto inside_stretch = [&](const ClassifiedFinding& finding) {
        while (stretch < stretches.size() && stretches[stretch].second < finding.line) ++stretch;
        return stretch < stretches.size() && stretches[stretch].first < finding.line;
    };
    bool have_line = false;
    std::size_t last_line = 0;
    for (const ClassifiedFinding& finding : findings) {
        const FindingClass& c = finding.cls;
        // The effects that count no content count every finding.
        if (c.effect == E::kNoKeyboard) {
            ++tally.no_keyboard;
            continue;
        }
        if (c.effect == E::kSchema) {
            ++tally.schema;
            continue;
        }
        if (reader == InputKind::kKbd) {
            if (inside_stretch(finding)) continue;
            if (have_line && finding.line == last_line) continue;
            have_line = true;
            last_line = finding.line;
        }
        auto& counts = c.effect == E::kLoss ? tally.dropped : tally.noted;
        ++counts[static_cast<std::size_t>(c.unit)];
    }
    return tally;
}

std::string DescribeTally(const FindingTally& tally) {
    std::string text;
    if (AppendCounts(tally.dropped, E::kLoss, tally.reader, text)) text += " dropped";
    std::string noted;
    if (AppendCounts(tally.noted, E::kNote, tally.reader, noted)) {
        if (!text.empty()) text += ", ";
        text += noted + " kept with notes";
    }
    return text;
}

}  // namespace dravonix
