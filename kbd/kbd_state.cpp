#include "kbd/kbd_state.h"

#include <cstdint>
#include <utility>

#include "kbd/header_keys.h"
#include "kbd/key_sections.h"
#include "kbd/sound_table.h"

namespace dravonix {

namespace {

// The markers of the file format, each spelled once.
constexpr std::string_view kKeydefStart = "[KEYDEF]";
constexpr std::string_view kKeydefEnd = "[/KEYDEF]";
constexpr std::string_view kSoundsStart = "[SOUNDS]";
constexpr std::string_view kSoundsEnd = "[/SOUNDS]";
constexpr std::string_view kNotInfluencedStart = "[NOT INFLUENCED BY SHIFT]";
constexpr std::string_view kNotInfluencedEnd = "[/NOT INFLUENCED BY SHIFT]";
constexpr std::string_view kShiftOffStart = "[SHIFT/CAPS OFF]";
constexpr std::string_view kShiftOffEnd = "[/SHIFT/CAPS OFF]";
constexpr std::string_view kShiftOnStart = "[SHIFT/CAPS ON]";
constexpr std::string_view kShiftOnEnd = "[/SHIFT/CAPS ON]";
constexpr std::string_view kMacroEnd = ".MACROENDS";

constexpr std::string_view kMarkers[] = {
    kKeydefStart,        kKeydefEnd,        kSoundsStart,   kSoundsEnd,
    kNotInfluencedStart, kNotInfluencedEnd, kShiftOffStart, kShiftOffEnd,
    kShiftOnStart,       kShiftOnEnd,       kMacroEnd,
};

/// What a marker does besides moving to its state.
enum class MarkerAction : std::uint8_t { kNone, kStartPanel, kCompletePanel, kCloseMacro };

/// A marker recognised in one state, the state it moves to and its action.
struct Transition {
    KbdLineState state;
    std::string_view marker;
    KbdLineState next;
    MarkerAction action = MarkerAction::kNone;
};

using S = KbdLineState;
using A = MarkerAction;

/// Every transition. For a state, the first of its markers found in a line
/// wins, in this order.
constexpr Transition kTransitions[] = {
    {S::OutsideKeydef, kKeydefStart, S::InKeydef},
    {S::InKeydef, kSoundsStart, S::InSounds},
    {S::InKeydef, kNotInfluencedStart, S::InNotInfluenced},
    {S::InKeydef, kShiftOffStart, S::InShiftCapsOff},
    {S::InKeydef, kShiftOnStart, S::InShiftCapsOn},
    {S::InKeydef, kKeydefEnd, S::InKeydef, A::kCompletePanel},
    {S::InKeydef, kKeydefStart, S::InKeydef, A::kStartPanel},
    {S::InSounds, kSoundsEnd, S::InKeydef},
    {S::InNotInfluenced, kNotInfluencedEnd, S::InKeydef},
    {S::InMacro, kNotInfluencedEnd, S::InKeydef, A::kCloseMacro},
    {S::InMacro, kMacroEnd, S::InNotInfluenced, A::kCloseMacro},
    {S::InShiftCapsOff, kShiftOffEnd, S::InKeydef},
    {S::InShiftCapsOn, kShiftOnEnd, S::InKeydef},
};

/// Gives the working panel its type, moves it into the keyboard and resets it.
void CompletePanel(KbdWork& work, KeyDefinition& definition) {
    work.panel.type = "big";
    // The key lists grew by doubling; a large keyboard keeps many panels, so
    // give back the spare capacity (a quarter of the lists on average).
    if (work.trim_panels) {
        work.panel.nonshiftkeys.key.shrink_to_fit();
        work.panel.nonshiftkeys.macro.shrink_to_fit();
        work.panel.keyswithoutshift.key.shrink_to_fit();
        work.panel.keyswithshift.key.shrink_to_fit();
    }
    definition.subkeydef.push_back(std::move(work.panel));
    work.panel = SubKeyDefinition{};
}

/// Carries out what a marker does besides moving to its state.
void Apply(MarkerAction action, KbdWork& work, KeyDefinition& definition) {
    switch (action) {
        case A::kNone:
            break;
        case A::kStartPanel:
            work.panel = SubKeyDefinition{};
            break;
        case A::kCompletePanel:
            CompletePanel(work, definition);
            break;
        case A::kCloseMacro:
            work.panel.nonshiftkeys.macro.push_back(std::move(work.macro));
            work.macro = Macro{};
            break;
    }
}

/// Hands a line that holds no marker to the parser of the current section.
void ParseSectionLine(std::string_view line, KbdWork& work) {
    switch (work.state) {
        case S::OutsideKeydef:
            break;
        case S::InKeydef:
            HandleHeaderLine(line, work.panel);
            break;
        case S::InSounds:
            HandleSoundLine(line, work.panel.sounds);
            break;
        case S::InNotInfluenced:
            if (HandleNotInfluencedLine(line, work.key, work.macro, work.panel.nonshiftkeys)) {
                work.state = S::InMacro;
            }
            break;
        case S::InMacro:
            HandleStrokeLine(line, work.macro);
            break;
        case S::InShiftCapsOff:
            HandleShiftLine(line, work.key, work.panel.keyswithoutshift);
            break;
        case S::InShiftCapsOn:
            HandleShiftLine(line, work.key, work.panel.keyswithshift);
            break;
    }
}

/// The transition a line takes in state, or null when it holds no marker of
/// that state.
const Transition* FindTransition(KbdLineState state, std::string_view line) {
    for (const Transition& transition : kTransitions) {
        if (transition.state == state && line.find(transition.marker) != std::string_view::npos) {
            return &transition;
        }
    }
    return nullptr;
}

}  // namespace

void HandleKbdLine(std::string_view line, KbdWork& work, KeyDefinition& definition) {
    if (const Transition* transition = FindTransition(work.state, line)) {
        Apply(transition->action, work, definition);
        work.state = transition->next;
        return;
    }
    ParseSectionLine(line, work);
}

std::string_view FindKbdMarker(KbdLineState state, std::string_view line) {
    const Transition* transition = FindTransition(state, line);
    return transition != nullptr ? transition->marker : std::string_view();
}

std::span<const std::string_view> KbdMarkers() { return kMarkers; }

}  // namespace dravonix
