// The kinds of keys the picture tells apart, and the colours of each.
#pragma once

#include <array>
#include <string_view>

#include "model/key.h"

namespace dravonix {

/// A key's kind in the picture.
enum class KeyKind {
    kNonShift,  // a key that shift does not influence
    kShiftOff,  // a key used while shift/caps is off
    kShiftOn,   // a key used while shift/caps is on
    kMacro,     // a macro key
    kTarget,    // a key of type 16, which sends its target text
};

/// Where a key was listed in its panel.
enum class KeySection { kNonShift, kShiftOff, kShiftOn };

/// The kind of a key listed in section: kTarget for a key of type 16 in any
/// section, else the section's kind.
KeyKind KindOfKey(const Key& key, KeySection section);

/// How the keys of one kind are drawn and named.
struct KindStyle {
    KeyKind kind;
    std::string_view name;     // for the legend, and the class of each key's group
    std::string_view caption;  // the legend's text
    std::string_view fill;     // fill colour, drawn at kKeyFillOpacity
    std::string_view stroke;   // outline colour
};

/// Opacity of a key's fill, so that the panel's image shows through.
constexpr std::string_view kKeyFillOpacity = "0.6";

/// Every kind, in legend order.
extern const std::array<KindStyle, 5> kKindStyles;

/// The style of kind.
const KindStyle& StyleOf(KeyKind kind);

}  // namespace dravonix
