// What each kind of finding means for the keyboard written: content that did
// not reach the output (a loss), or content that reached it changed or with
// a reference to something that is not there (a note), and what it counts.
// The summaries of the converters and of the check count by these classes,
// so that a kept key with a dangling sound never reads as a lost one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check/input_kind.h"

namespace dravonix {

/// What a finding says of the output.
enum class FindingEffect : std::uint8_t {
    kLoss,        // content that did not reach the output
    kNote,        // content that reached it changed, or referring to something not there
    kNoKeyboard,  // the file holds no keyboard at all
    kSchema,      // the schema's verdict, which says nothing of what reading keeps
};

/// What a finding counts, heaviest first: where several findings are about
/// one line of a legacy file, the line counts once, as the heaviest of them.
enum class FindingUnit : std::uint8_t {
    kPanel,
    kMacro,
    kKey,        // a key (of a legacy file: a key line)
    kSound,      // a sound (of a legacy file: a sound line)
    kStroke,     // a macro stroke line
    kElement,    // an XML element other than the above
    kAttribute,  // an XML attribute
    kValue,      // a value kept changed: a number, a boolean, a text
    kComment,
    kInstruction,  // a processing instruction
    kDoctype,      // a document type declaration
    kMediaFile,    // an image or sound file named by the keyboard
    kLine,         // any other line of a legacy file
    kNone,         // nothing counted (no keyboard, schema)
};
inline constexpr std::size_t kFindingUnitCount = static_cast<std::size_t>(FindingUnit::kNone) + 1;

/// The class of a finding.
struct FindingClass {
    FindingEffect effect = FindingEffect::kNote;
    FindingUnit unit = FindingUnit::kLine;
};

/// The class of a finding of kind (the name in brackets, such as
/// "key-line-unread") from the reader of kind reader. A kind this version
/// does not know is a note about a line.
FindingClass ClassifyFinding(std::string_view kind, InputKind reader);

/// The noun a count of unit is given in a summary of findings of effect from
/// reader, in the singular: "panel", "key line", "key", "processing
/// instruction"; "finding" for kNone.
std::string_view UnitNoun(FindingUnit unit, FindingEffect effect, InputKind reader);

/// A finding as a tally sees it: its line (and the last of the lines it
/// drops as a whole, or 0: see Finding) and class.
struct ClassifiedFinding {
    std::size_t line = 0;
    std::size_t last_line = 0;
    FindingClass cls;
};

/// How many things a file's findings drop and keep with notes.
struct FindingTally {
    InputKind reader = InputKind::kKbd;
    std::array<std::size_t, kFindingUnitCount> dropped{};
    std::array<std::size_t, kFindingUnitCount> noted{};
    std::size_t no_keyboard = 0;  // findings that the file holds no keyboard
    std::size_t schema = 0;       // the schema's findings
};

/// Tallies findings (reordered on the way). A legacy file's findings are
/// about its lines: each line counts once, in the heaviest class among its
/// findings (a loss before a note, then by FindingUnit), and lines inside a
/// stretch dropped as a whole (a panel never closed) count only as part of
/// it. An XML file's findings each count: they are about separate elements
/// and attributes.
FindingTally TallyFindings(std::vector<ClassifiedFinding>& findings, InputKind reader);

/// What tally drops and keeps, in words: "1 panel and 3 key lines dropped,
/// 4 keys kept with notes"; "" when it drops and notes nothing.
std::string DescribeTally(const FindingTally& tally);

}  // namespace dravonix
