#include "kbd/kbd_observer.h"

namespace dravonix {

std::string_view KbdIssueName(KbdIssue kind) {
    switch (kind) {
        case KbdIssue::kUnclosedKeydef:
            return "unclosed-keydef";
        case KbdIssue::kUnclosedSection:
            return "unclosed-section";
        case KbdIssue::kMarkerCase:
            return "marker-case";
        case KbdIssue::kMarkerMisplaced:
            return "marker-misplaced";
        case KbdIssue::kStrayLine:
            return "stray-line";
        case KbdIssue::kExtraPanel:
            return "extra-panel";
        case KbdIssue::kUnknownHeader:
            return "unknown-header";
        case KbdIssue::kKeyLineUnread:
            return "key-line-unread";
        case KbdIssue::kKeyLinePartial:
            return "key-line-partial";
        case KbdIssue::kShiftTraces:
            return "shift-traces";
        case KbdIssue::kPointsCut:
            return "points-cut";
        case KbdIssue::kTargetCut:
            return "target-cut";
        case KbdIssue::kNumberSaturated:
            return "number-saturated";
        case KbdIssue::kStrokeUnread:
            return "stroke-unread";
        case KbdIssue::kMacroUnclosed:
            return "macro-unclosed";
        case KbdIssue::kMacroClosedBySection:
            return "macro-closed-by-section";
        case KbdIssue::kSoundLine:
            return "sound-line";
        case KbdIssue::kSoundIdZero:
            return "sound-id-zero";
        case KbdIssue::kSoundDuplicate:
            return "sound-duplicate";
        case KbdIssue::kSoundMissing:
            return "sound-missing";
        case KbdIssue::kLongLine:
            return "long-line";
        case KbdIssue::kNulByte:
            return "nul-byte";
        case KbdIssue::kNulLine:
            return "nul-line";
        case KbdIssue::kLoneCr:
            return "lone-cr";
        case KbdIssue::kLoneCrLine:
            return "lone-cr-line";
        case KbdIssue::kImagePathCut:
            return "image-path-cut";
        case KbdIssue::kCharacterReplaced:
            return "character-replaced";
        case KbdIssue::kNoKeydef:
            return "no-keydef";
    }
    return "unknown";
}

}  // namespace dravonix
