// Macro: a key that plays a sequence of strokes.
#pragma once

#include <cstdint>
#include <vector>

#include "model/key_shape.h"
#include "model/records.h"
#include "xml/xml_node.h"

namespace dravonix {

/// A macro key: its sound, its outline and its strokes in playing order.
class Macro : public XmlNode {
public:
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    std::int32_t sound = -1;
    KeyShape shape;
    std::vector<MacroKey> mkey;
};

}  // namespace dravonix
