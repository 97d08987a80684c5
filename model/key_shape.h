// KeyShape: an outline made of any number of rectangles, ellipses, rounded
// rectangles and polygons, all kinds usable together.
#pragma once

#include <string>
#include <vector>

#include "model/records.h"
#include "xml/xml_node.h"

namespace dravonix {

/// The outline of a panel, a key or a macro key.
class KeyShape : public XmlNode {
public:
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    std::string mode;
    std::vector<RectRecord> rect;
    std::vector<EllipseRecord> ellipse;
    std::vector<RoundRectRecord> roundrect;
    std::vector<PolygonRecord> polygon;
};

}  // namespace dravonix
