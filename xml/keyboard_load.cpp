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
//
// These Loads are also the one description of what the reader reads: every
// name a Load asks for is one the reader knows in that place, so each Load
// asks for all of its names whatever the document holds, and says at each
// value what a value that does not convert costs (IfUnreadable). An observed
// read reports everything else as not read.
#include <string>
#include <utility>

#include "dom/dom_read.h"
#include "model/key_definition.h"
#include "xml/list_bindings.h"
#include "xml/read_report.h"

namespace dravonix {

HRESULT KeyDefDocument::Load(const DomNode& /*node*/) {
    if (DomDocument document; Succeeded(OwnerDocument(&document))) {
        document.SetCodePage(code_page);
    }
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
    if (ReadReport* report = ReadReport::Current()) report->BeginPanel();
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
    // Every member is read, but only those of the type now held are kept;
    // the others stay. The status is that of the first member kept that did
    // not convert.
    std::int32_t read_color = color;
    const HRESULT color_status = GetIntAttribute("color", &read_color);
    std::string read_filename = filename;
    (void)GetStringAttribute("filename", &read_filename);
    std::int32_t read_resourceid = resourceid;
    const HRESULT resourceid_status = GetIntAttribute("resourceid", &read_resourceid);
    std::string read_resourcetype = resourcetype;
    (void)GetStringAttribute("resourcetype", &read_resourcetype);
    switch (type) {
        case 1:
            color = read_color;
            return Failed(color_status) ? color_status : S_OK;
        case 2:
            filename = std::move(read_filename);
            if (ReadReport* report = ReadReport::Current()) {
                report->NamedMedia(element, MediaRole::kDockBackground, -1);
            }
            return S_OK;
        case 3:
            resourceid = read_resourceid;
            if (Failed(resourceid_status)) return resourceid_status;
            resourcetype = std::move(read_resourcetype);
            return S_OK;
        default:
            return S_OK;
    }
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
    ReadReport* report = ReadReport::Current();
    if (type == "normal") {
        panel_->jpegnormal = std::move(text);
        if (report != nullptr) report->NamedMedia(element, MediaRole::kNormalImage, -1);
    } else if (type == "pressed") {
        panel_->jpegpressed = std::move(text);
        if (report != nullptr) report->NamedMedia(element, MediaRole::kPressedImage, -1);
    }
    return S_OK;
}

HRESULT SoundList::Load(const DomNode& /*node*/) {
    std::int32_t id = 0;
    HRESULT id_status = GetIntAttribute("id", &id, IfUnreadable::kDropElement);
    std::string file;
    HRESULT status = GetNodeValue(&file);
    if (Failed(id_status)) return id_status;
    if (Failed(status)) return status;
    // A sound without an id has no place in the table; the first element of
    // an id wins.
    if (id_status == S_OK) NoteSound(id, sounds_->emplace(id, std::move(file)).second);
    return S_OK;
}

void SoundList::NoteSound(std::int32_t id, bool added) {
    ReadReport* report = ReadReport::Current();
    if (report == nullptr) return;
    if (added) {
        first_lines_[id] = dom::SourceLine(element);
        report->NamedMedia(element, MediaRole::kSound, id);
        return;
    }
    const auto first = first_lines_.find(id);
    std::string message = "sound id " + std::to_string(id) + " is defined again";
    if (first != first_lines_.end()) {
        message += " (first on line " + std::to_string(first->second) + ")";
    }
    report->Add(element, XmlIssue::kSoundDuplicate, message + ": the first wins");
}

}  // namespace dravonix
