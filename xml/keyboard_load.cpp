// Load of every model class and list binding: reads the XML keyboard file.
//
// Each Load reads the element its object is bound to. An attribute that is
// absent leaves its member as it was; names are matched exactly, letter case
// included. Objects read through LoadChildren accumulate every matching
// child, while list entries are new objects that are dropped when their Load
// fails.
#include <initializer_list>
#include <utility>
#include <vector>

#include "model/key_definition.h"
#include "xml/list_bindings.h"

namespace dravonix {

HRESULT KeyDefDocument::Load(const DomNode& /*node*/) {
    LoadChildren("keydef", keydef);
    return S_OK;
}

HRESULT KeyDefinition::Load(const DomNode& /*node*/) {
    GetStringAttribute("name", &name);
    LoadList("subkeydef", subkeydef);
    return S_OK;
}

HRESULT SubKeyDefinition::Load(const DomNode& /*node*/) {
    // A panel's geometry, language and docking are never inherited from what
    // the object held before: absent values read as 0, -1 and not docked.
    dockrect = DockRect{};
    hotspot = HotSpot{};
    language = -1;
    docked = false;

    GetStringAttribute("name", &name);
    GetStringAttribute("type", &type);
    GetIntAttribute("language", &language);
    GetBoolAttribute("forcewinkeyboard", &forcewinkeyboard);
    GetBoolAttribute("docked", &docked);

    // Only the first "hotspot" and "dockrect" child count.
    GetChildIntAttribute("hotspot", "x", &hotspot.x);
    GetChildIntAttribute("hotspot", "y", &hotspot.y);
    GetChildIntAttribute("dockrect", "x1", &dockrect.x1);
    GetChildIntAttribute("dockrect", "y1", &dockrect.y1);
    GetChildIntAttribute("dockrect", "x2", &dockrect.x2);
    GetChildIntAttribute("dockrect", "y2", &dockrect.y2);

    LoadChildren("dockbackground", dockbackground);
    // Every "language" child is kept, repeated ids included.
    LoadList("language", languages);
    KeyImages images(*this);
    LoadChildren("jpeg", images);
    SoundList sound_list(sounds);
    LoadChildren("sound", sound_list);
    LoadChildren("shape", shape);
    LoadChildren("nondragarea", nondragarea);
    LoadChildren("nonshiftkeys", nonshiftkeys);
    LoadChildren("keyswithoutshift", keyswithoutshift);
    LoadChildren("keyswithshift", keyswithshift);
    return S_OK;
}

HRESULT LanguageEntry::Load(const DomNode& /*node*/) {
    GetIntAttribute("id", &id);
    GetStringAttribute("target", &target);
    return S_OK;
}

HRESULT ImageSource::Load(const DomNode& /*node*/) {
    GetIntAttribute("type", &type);
    // Only the members of the type now held are read; the others stay.
    HRESULT status = S_OK;
    switch (type) {
        case 1:
            status = GetIntAttribute("color", &color);
            break;
        case 2:
            status = GetStringAttribute("filename", &filename);
            break;
        case 3:
            status = GetIntAttribute("resourceid", &resourceid);
            if (Failed(status)) break;
            status = GetStringAttribute("resourcetype", &resourcetype);
            break;
        default:
            break;
    }
    return Failed(status) ? status : S_OK;
}

HRESULT KeyShape::Load(const DomNode& /*node*/) {
    GetStringAttribute("mode", &mode);
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

HRESULT Key::Load(const DomNode& /*node*/) {
    // The first value that does not convert fails the key, which its list
    // then drops.
    HRESULT status = GetIntAttribute("sound", &sound);
    if (Failed(status)) return status;
    status = GetIntAttribute("type", &type);
    if (Failed(status)) return status;
    status = GetIntAttribute("vkey", &vkey);
    if (Failed(status)) return status;
    status = GetCharAttribute("char", &character);
    if (Failed(status)) return status;
    status = GetStringAttribute("target", &target);
    if (Failed(status)) return status;
    status = GetIntAttribute("language", &language);
    if (Failed(status)) return status;
    LoadChildren("shape", shape);
    return S_OK;
}

HRESULT Macro::Load(const DomNode& /*node*/) {
    // A sound id that does not convert leaves the macro without a sound but
    // keeps the macro.
    GetIntAttribute("sound", &sound);
    LoadChildren("shape", shape);
    MacroKeyList strokes(mkey);
    LoadChildren("mkey", strokes);
    return S_OK;
}

HRESULT KeyGroup::Load(const DomNode& /*node*/) {
    LoadList("key", key);
    LoadList("macro", macro);
    return S_OK;
}

HRESULT KeyList::Load(const DomNode& /*node*/) {
    LoadList("key", key);
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

HRESULT MacroKeyList::Load(const DomNode& /*node*/) {
    MacroKey stroke;
    HRESULT status = GetIntAttribute("vkey", &stroke.vkey);
    if (Failed(status)) return status;
    // The state is written as "pressed"; older files may carry it as "press",
    // which is read only when "pressed" is absent.
    status = GetIntAttribute("pressed", &stroke.pressed);
    if (status == S_FALSE) status = GetIntAttribute("press", &stroke.pressed);
    if (Failed(status)) return status;
    status = GetCharAttribute("char", &stroke.character);
    if (Failed(status)) return status;
    list_->push_back(stroke);
    return S_OK;
}

HRESULT SoundList::Load(const DomNode& /*node*/) {
    std::int32_t id = 0;
    HRESULT id_status = GetIntAttribute("id", &id);
    if (Failed(id_status)) return id_status;
    std::string file;
    HRESULT status = GetNodeValue(&file);
    if (Failed(status)) return status;
    // A sound without an id has no place in the table; the first element of
    // an id wins.
    if (id_status == S_OK) sounds_->emplace(id, std::move(file));
    return S_OK;
}

HRESULT KeyImages::Load(const DomNode& /*node*/) {
    std::string type;
    HRESULT status = GetStringAttribute("type", &type);
    if (Failed(status)) return status;
    std::string text;
    status = GetNodeValue(&text);
    if (Failed(status)) return status;
    // The last element of a type wins; other types, in any letter case, are
    // not images of the panel.
    if (type == "normal") {
        panel_->jpegnormal = std::move(text);
    } else if (type == "pressed") {
        panel_->jpegpressed = std::move(text);
    }
    return S_OK;
}

}  // namespace dravonix
