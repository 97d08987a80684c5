// Save of outlines: a shape element with its "rect", "ellipse", "roundrect"
// and "polygon" children, and the "point" children of each polygon. Parts
// the DOM refuses are left out (see keyboard_save.cpp).
#include "model/key_shape.h"
#include "xml/list_bindings.h"

namespace dravonix {

HRESULT KeyShape::Save(const DomNode& /*node*/) {
    if (!mode.empty()) (void)SetStringAttribute("mode", mode);
    // An empty list writes nothing; most outlines have one kind of record.
    if (!rect.empty()) {
        RectShape rects(rect);
        SaveInline(rects);
    }
    if (!ellipse.empty()) {
        EllipseShape ellipses(ellipse);
        SaveInline(ellipses);
    }
    if (!roundrect.empty()) {
        RoundRectShape roundrects(roundrect);
        SaveInline(roundrects);
    }
    if (!polygon.empty()) {
        PolygonShape polygons(polygon);
        SaveInline(polygons);
    }
    return S_OK;
}

namespace {

// Writes the corners and the mode shared by "rect" and "ellipse".
template <class Record>
void SaveBox(XmlNode& binding, std::string_view name, const Record& record) {
    DomNode child;
    if (Failed(binding.CreateChildElement(name, &child)) || !child) return;
    (void)binding.SetIntAttributeOn(child, "x1", record.x1);
    (void)binding.SetIntAttributeOn(child, "y1", record.y1);
    (void)binding.SetIntAttributeOn(child, "x2", record.x2);
    (void)binding.SetIntAttributeOn(child, "y2", record.y2);
    if (!record.mode.empty()) (void)binding.SetStringAttributeOn(child, "mode", record.mode);
    (void)binding.FinishElement(child);
}

}  // namespace

HRESULT RectShape::Save(const DomNode& /*node*/) {
    for (const RectRecord& record : *list_) SaveBox(*this, "rect", record);
    return S_OK;
}

HRESULT EllipseShape::Save(const DomNode& /*node*/) {
    for (const EllipseRecord& record : *list_) SaveBox(*this, "ellipse", record);
    return S_OK;
}

HRESULT RoundRectShape::Save(const DomNode& /*node*/) {
    for (const RoundRectRecord& record : *list_) {
        DomNode child;
        if (Failed(CreateChildElement("roundrect", &child)) || !child) continue;
        (void)SetIntAttributeOn(child, "x1", record.x1);
        (void)SetIntAttributeOn(child, "y1", record.y1);
        (void)SetIntAttributeOn(child, "x2", record.x2);
        (void)SetIntAttributeOn(child, "y2", record.y2);
        (void)SetIntAttributeOn(child, "widthellipse", record.widthellipse);
        (void)SetIntAttributeOn(child, "heightellipse", record.heightellipse);
        if (!record.mode.empty()) (void)SetStringAttributeOn(child, "mode", record.mode);
        (void)FinishElement(child);
    }
    return S_OK;
}

HRESULT PolygonShape::Save(const DomNode& /*node*/) {
    for (PolygonRecord& record : *list_) {
        DomNode polygon;
        if (Failed(CreateChildElement("polygon", &polygon)) || !polygon) continue;
        if (!record.mode.empty()) (void)SetStringAttributeOn(polygon, "mode", record.mode);
        if (!record.polymode.empty()) {
            (void)SetStringAttributeOn(polygon, "polymode", record.polymode);
        }
        // The points go inside the polygon, one level deeper (elements
        // always have an attribute map, so binding cannot fail).
        PolygonPoint points(record.point);
        points.SetLevel(level + 1);
        (void)points.Bind(polygon);
        (void)points.Save(polygon);
        (void)FinishElement(polygon);
    }
    return S_OK;
}

HRESULT PolygonPoint::Save(const DomNode& /*node*/) {
    for (const PointRecord& point : *list_) {
        // A coordinate that is not set is left out.
        if (point.x != -1 && point.y != -1) {
            (void)SaveIntElement("point", {{"x", point.x}, {"y", point.y}});
        } else if (point.x != -1) {
            (void)SaveIntElement("point", {{"x", point.x}});
        } else if (point.y != -1) {
            (void)SaveIntElement("point", {{"y", point.y}});
        } else {
            (void)SaveIntElement("point", {});
        }
    }
    return S_OK;
}

}  // namespace dravonix
