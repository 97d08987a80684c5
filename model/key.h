// Key: one key of a panel.
#pragma once

#include <cstdint>
#include <string>

#include "model/key_shape.h"
#include "xml/xml_node.h"

namespace dravonix {

/// One key: its outline, its sound, its kind, and what it sends.
class Key : public XmlNode {
public:
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    KeyShape shape;
    std::int32_t sound = -1;     // sound id of the panel's sound table
    std::int32_t type = -1;      // kind of key, a number from the legacy file
    std::int32_t vkey = -1;      // virtual-key code the key sends
    char character = 0;          // the "char" attribute: character the key types, 0 for none
    std::string target;          // target text (keys of type 16)
    std::int32_t language = -1;  // language id
};

}  // namespace dravonix
