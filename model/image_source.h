// ImageSource: where a background comes from.
#pragma once

#include <cstdint>
#include <string>

#include "xml/xml_node.h"

namespace dravonix {

/// An image or colour source. Only the members of the selected type mean
/// anything: 1 a colour, 2 an image file, 3 an image resource, 0 none.
class ImageSource : public XmlNode {
public:
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    std::int32_t type = 0;
    std::string filename;
    std::int32_t resourceid = 0;
    std::string resourcetype;
    std::int32_t color = 0;
};

}  // namespace dravonix
