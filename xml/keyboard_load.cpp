// Load of the keyboard, its panels and their parts: the root element
// "keydef", each "subkeydef" with its geometry, language entries, images,
// sounds, background, outlines and key collections.
//
// The rules every Load follows (here, in key_load.cpp and in shape_load.cpp):
// each reads the element its object is bound to. An attribute that is absent
// leaves its member as it was; names are matched exactly, letter case
// included. Objects read through LoadChildren accumulate every matching
// child, while list entries are new objects that are dropped when their Load
// fails. A value that is absent or does not convert leaves its member as it
// was: the statuses dropped with (void) are those.
#include <string>
#include <utility>

#include "model/key_definition.h"
#include "xml/list_bindings.h"

namespace dravonix {

HRESULT KeyDefDocument::Load(const DomNode& /*node*/) {
    LoadChildren("keydef", keydef);
    return S_OK;
}

HRESULT KeyDefinition::Load(const DomNode& /*node*/) {
    (void)GetStringAttribute("name", &name);
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

    (void)GetStringAttribute("name", &name);
    (void)GetStringAttribute("type", &type);
    (void)GetIntAttribute("language", &language);
    (void)GetBoolAttribute("forcewinkeyboard", &forcewinkeyboard);
    (void)GetBoolAttribute("docked", &docked);

    // Only the first "hotspot" and "dockrect" child count.
    (void)GetChildIntAttribute("hotspot", "x", &hotspot.x);
    (void)GetChildIntAttribute("hotspot", "y", &hotspot.y);
    (void)GetChildIntAttribute("dockrect", "x1", &dockrect.x1);
    (void)GetChildIntAttribute("dockrect", "y1", &dockrect.y1);
    (void)GetChildIntAttribute("dockrect", "x2", &dockrect.x2);
    (void)GetChildIntAttribute("dockrect", "y2", &dockrect.y2);

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
    (void)GetIntAttribute("id", &id);
    (void)GetStringAttribute("target", &target);
    return S_OK;
}

HRESULT ImageSource::Load(const DomNode& /*node*/) {
    (void)GetIntAttribute("type", &type);
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

}  // namespace dravonix
