#include "render/key_kinds.h"

namespace dravonix {

namespace {

/// Keys of type 16 send a target text in every section.
constexpr std::int32_t kTargetKeyType = 16;

}  // namespace

// Colours that stay apart for the common kinds of colour blindness.
const std::array<KindStyle, 5> kKindStyles = {{
    {KeyKind::kNonShift, "nonshift", "key (shift has no effect)", "#56b4e9", "#1d5f86"},
    {KeyKind::kShiftOff, "shiftoff", "key, shift/caps off", "#009e73", "#00563f"},
    {KeyKind::kShiftOn, "shifton", "key, shift/caps on", "#e69f00", "#7a5400"},
    {KeyKind::kMacro, "macro", "macro", "#cc79a7", "#7a3a60"},
    {KeyKind::kTarget, "target", "key with a target (type 16)", "#f0e442", "#807500"},
}};

KeyKind KindOfKey(const Key& key, KeySection section) {
    if (key.type == kTargetKeyType) return KeyKind::kTarget;
    switch (section) {
        case KeySection::kShiftOff:
            return KeyKind::kShiftOff;
        case KeySection::kShiftOn:
            return KeyKind::kShiftOn;
        case KeySection::kNonShift:
            break;
    }
    return KeyKind::kNonShift;
}

const KindStyle& StyleOf(KeyKind kind) {
    for (const KindStyle& style : kKindStyles) {
        if (style.kind == kind) return style;
    }
    return kKindStyles[0];
}

}  // namespace dravonix
