// LanguageEntry: one "language" child of a panel.
#pragma once

#include <cstdint>
#include <string>

#include "xml/xml_node.h"

namespace dravonix {

/// A language id of a panel and its target.
class LanguageEntry : public XmlNode {
public:
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    std::int32_t id = -1;
    std::string target;
};

}  // namespace dravonix
