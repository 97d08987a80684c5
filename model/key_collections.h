// The key collections of a panel.
#pragma once

#include <vector>

#include "model/key.h"
#include "model/macro.h"
#include "xml/xml_node.h"

namespace dravonix {

/// Keys and macros that shift does not influence ("nonshiftkeys").
class KeyGroup : public XmlNode {
public:
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    std::vector<Key> key;
    std::vector<Macro> macro;
};

/// Keys of one shift state ("keyswithoutshift", "keyswithshift").
class KeyList : public XmlNode {
public:
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    std::vector<Key> key;
};

}  // namespace dravonix
