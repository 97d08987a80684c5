// Save of outlines: a shape element with its "rect", "ellipse", "roundrect"
// and "polygon" children, and the "point" children of each polygon. Parts
// the DOM refuses are left out (see keyboard_save.cpp).
#include "model/key_shape.h"
#include "xml/list_bindings.h"
#include "xml/save_values.h"

namespace dravonix {

HRESULT KeyShape::Save(const DomNode& /*node*/) {
    if (!mode.empty()) (void)SetStringAttribute("mode", mode);
    RectShape rects(rect);
    SaveInline(rects);
    EllipseShape ellipses(ellipse);
    SaveInline(ellipses);
    RoundRectShape roundrects(roundrect);
    SaveInline(roundrects);
    PolygonShape polygons(polygon);
    SaveInline(polygons);
    return S_OK;
}

namespace {

// Writes the corners and the mode shared by "rect" and "ellipse".
template <class Record>
void SaveBox(XmlNode& binding, std::string_view name, const Record& record) {
    DomNode child;
    if (Failed(binding.CreateChildElement(name, &child)) || !child) return;
    (void)binding.SetAttributeOn(child, "x1", Variant::Int(record.x1));
    (void)binding.SetAttributeOn(child, "y1", Variant::Int(record.y1));
    (void)binding.SetAttributeOn(child, "x2", Variant::Int(record.x2));
    (void)binding.SetAttributeOn(child, "y2", Variant::Int(record.y2));
    if (!record.mode.empty())
        (void)binding.SetAttributeOn(child, "mode",
                                     Variant::String(MultiByteToWideChar(record.mode)));
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
        (void)SetAttributeOn(child, "x1", Variant::Int(record.x1));
        (void)SetAttributeOn(child, "y1", Variant::Int(record.y1));
        (void)SetAttributeOn(child, "x2", Variant::Int(record.x2));
        (void)SetAttributeOn(child, "y2", Variant::Int(record.y2));
        (void)SetAttributeOn(child, "widthellipse", Variant::Int(record.widthellipse));
        (void)SetAttributeOn(child, "heightellipse", Variant::Int(record.heightellipse));
        if (!record.mode.empty())
            (void)SetAttributeOn(child, "mode", Variant::String(MultiByteToWideChar(record.mode)));
        (void)FinishElement(child);
    }
    return S_OK;
}

HRESULT PolygonShape::Save(const DomNode& /*node*/) {
    const std::int32_t own_level = level;
    for (PolygonRecord& record : *list_) {
        DomNode polygon;
        if (Failed(CreateChildElement("polygon", &polygon)) || !polygon) continue;
        if (!record.mode.empty())
            (void)SetAttributeOn(polygon, "mode",
                                 Variant::String(MultiByteToWideChar(record.mode)));
        if (!record.polymode.empty()) {
            (void)SetAttributeOn(polygon, "polymode",
                                 Variant::String(MultiByteToWideChar(record.polymode)));
        }
        // The points go inside the polygon, one level deeper: rebind to the
        // polygon for them, then back to the shape element (elements always
        // have an attribute map, so binding cannot fail).
        DomNode shape_element = element;
        SetLevel(own_level + 1);
        (void)Bind(polygon);
        PolygonPoint points(record.point);
        SaveInline(points);
        SetLevel(own_level);
        (void)Bind(shape_element);
        (void)FinishElement(polygon);
    }
    return S_OK;
}

HRESULT PolygonPoint::Save(const DomNode& /*node*/) {
    for (const PointRecord& point : *list_) {
        DomNode child;
        if (Failed(CreateChildElement("point", &child)) || !child) continue;
        if (point.x != -1) (void)SetAttributeOn(child, "x", Variant::Int(point.x));
        if (point.y != -1) (void)SetAttributeOn(child, "y", Variant::Int(point.y));
        (void)FinishElement(child);
    }
    return S_OK;
}

}  // namespace dravonix
