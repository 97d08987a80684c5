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

// Reads the integers of an outline record and its mode; the record is
// appended only when every attribute read (the first failure is returned,
// after all were read, as an observed read reports each).
template <class Record>
HRESULT LoadRecord(XmlNode& binding,
                   std::initializer_list<std::pair<const char*, std::int32_t*>> integers,
                   Record& record, std::vector<Record>& list) {
    HRESULT status = S_OK;
    for (auto [attribute, member] : integers) {
        const HRESULT read = binding.GetIntAttribute(attribute, member, IfUnreadable::kDropElement);
        if (Failed(read) && !Failed(status)) status = read;
    }
    const HRESULT mode = binding.GetStringAttribute("mode", &record.mode);
    if (Failed(mode) && !Failed(status)) status = mode;
    if (Failed(status)) return status;
    list.push_back(std::move(record));
    return S_OK;
}

// Reads the corners and the mode shared by "rect" and "ellipse".
template <class Record>
HRESULT LoadBox(XmlNode& binding, std::vector<Record>& list) {
    Record record;
    return LoadRecord(
        binding, {{"x1", &record.x1}, {"y1", &record.y1}, {"x2", &record.x2}, {"y2", &record.y2}},
        record, list);
}

}  // namespace

HRESULT RectShape::Load(const DomNode& /*node*/) { return LoadBox(*this, *list_); }

HRESULT EllipseShape::Load(const DomNode& /*node*/) { return LoadBox(*this, *list_); }

HRESULT RoundRectShape::Load(const DomNode& /*node*/) {
    RoundRectRecord record;
    return LoadRecord(*this,
                      {{"x1", &record.x1},
                       {"y1", &record.y1},
                       {"x2", &record.x2},
                       {"y2", &record.y2},
                       {"widthellipse", &record.widthellipse},
                       {"heightellipse", &record.heightellipse}},
                      record, *list_);
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
    HRESULT status = GetIntAttribute("x", &point.x, IfUnreadable::kDropElement);
    const HRESULT y = GetIntAttribute("y", &point.y, IfUnreadable::kDropElement);
    if (Failed(y) && !Failed(status)) status = y;
    if (Failed(status)) return status;
    list_->push_back(point);
    return S_OK;
}

}  // namespace dravonix
