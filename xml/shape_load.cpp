// Load of outlines: a shape element with its "rect", "ellipse", "roundrect"
// and "polygon" children, and the "point" children of each polygon.
#include <initializer_list>
#include <utility>
#include <vector>

#include "model/key_shape.h"
#include "xml/list_bindings.h"

namespace dravonix {

HRESULT KeyShape::Load(const DomNode& /*node*/) {
    (void)GetStringAttribute("mode", &mode);
    RectShape rects(rect);
    LoadChildren("rect", rects);
    EllipseShape ellipses(ellipse);
    LoadChildren("ellipse", ellipses);
    RoundRectShape roundrects(roundrect);
    LoadChildren("roundrect", roundrects);
    PolygonShape polygons(polygon);
    LoadChildren("polygon", polygons);
    return S_OK;
}

namespace {

// Reads the corners and the mode shared by "rect" and "ellipse"; the record
// is appended only when every attribute read.
template <class Record>
HRESULT LoadBox(XmlNode& binding, std::vector<Record>& list) {
    Record record;
    for (auto [attribute, member] : {std::pair{"x1", &record.x1}, std::pair{"y1", &record.y1},
                                     std::pair{"x2", &record.x2}, std::pair{"y2", &record.y2}}) {
        HRESULT status = binding.GetIntAttribute(attribute, member);
        if (Failed(status)) return status;
    }
    HRESULT status = binding.GetStringAttribute("mode", &record.mode);
    if (Failed(status)) return status;
    list.push_back(std::move(record));
    return S_OK;
}

}  // namespace

HRESULT RectShape::Load(const DomNode& /*node*/) { return LoadBox(*this, *list_); }

HRESULT EllipseShape::Load(const DomNode& /*node*/) { return LoadBox(*this, *list_); }

HRESULT RoundRectShape::Load(const DomNode& /*node*/) {
    RoundRectRecord record;
    for (auto [attribute, member] :
         {std::pair{"x1", &record.x1}, std::pair{"y1", &record.y1}, std::pair{"x2", &record.x2},
          std::pair{"y2", &record.y2}, std::pair{"widthellipse", &record.widthellipse},
          std::pair{"heightellipse", &record.heightellipse}}) {
        HRESULT status = GetIntAttribute(attribute, member);
        if (Failed(status)) return status;
    }
    HRESULT status = GetStringAttribute("mode", &record.mode);
    if (Failed(status)) return status;
    list_->push_back(std::move(record));
    return S_OK;
}

HRESULT PolygonShape::Load(const DomNode& /*node*/) {
    PolygonRecord record;
    HRESULT status = GetStringAttribute("polymode", &record.polymode);
    if (Failed(status)) return status;
    status = GetStringAttribute("mode", &record.mode);
    if (Failed(status)) return status;
    PolygonPoint points(record.point);
    LoadChildren("point", points);
    list_->push_back(std::move(record));
    return S_OK;
}

HRESULT PolygonPoint::Load(const DomNode& /*node*/) {
    // A coordinate that is absent stays "not set".
    PointRecord point{-1, -1};
    HRESULT status = GetIntAttribute("x", &point.x);
    if (Failed(status)) return status;
    status = GetIntAttribute("y", &point.y);
    if (Failed(status)) return status;
    list_->push_back(point);
    return S_OK;
}

}  // namespace dravonix
