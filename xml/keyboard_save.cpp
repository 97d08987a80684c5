// Save of the keyboard, its panels and their parts: the root element "keydef",
// each "subkeydef" with its geometry, language entries, images, sounds,
// background, outlines and key collections.
//
// The saves write what they can: a status dropped with (void) here, in
// key_save.cpp and in shape_save.cpp is a part the DOM refused (out of memory
// or past its node limit), which is left out while the rest is still written;
// the document stays well-formed.
#include "model/key_definition.h"
#include "platform/codepage.h"
#include "xml/list_bindings.h"

namespace dravonix {

HRESULT KeyDefDocument::Save(const DomNode& /*node*/) {
    if (DomDocument document; Succeeded(OwnerDocument(&document))) {
        document.SetCodePage(code_page);
    }
    // The document is saved with whatever part of the keyboard was written.
    (void)SaveChild("keydef", keydef);
    return S_OK;
}

HRESULT KeyDefinition::Save(const DomNode& /*node*/) {
    (void)SetStringAttribute("name", name);
    // A failing panel ends the panel list.
    (void)SaveList("subkeydef", subkeydef);
    return S_OK;
}

HRESULT SubKeyDefinition::Save(const DomNode& /*node*/) {
    // Every part is written whatever became of the parts before it.
    (void)SetStringAttribute("name", name);
    (void)SetStringAttribute("type", type);
    (void)SetIntAttribute("language", language);
    (void)SetBoolAttribute("forcewinkeyboard", forcewinkeyboard);
    (void)SetBoolAttribute("docked", docked);

    // An element the DOM could not create is left out; the panel goes on.
    (void)SaveIntElement("hotspot", {{"x", hotspot.x}, {"y", hotspot.y}});
    (void)SaveIntElement(
        "dockrect",
        {{"x1", dockrect.x1}, {"y1", dockrect.y1}, {"x2", dockrect.x2}, {"y2", dockrect.y2}});

    // A failing language entry ends the language list only.
    (void)SaveList("language", languages);

    KeyImages images(*this);
    SaveInline(images);
    SoundList sound_list(sounds);
    SaveInline(sound_list);

    (void)SaveChild("dockbackground", dockbackground);
    (void)SaveChild("shape", shape);
    (void)SaveChild("nondragarea", nondragarea);
    (void)SaveChild("nonshiftkeys", nonshiftkeys);
    (void)SaveChild("keyswithoutshift", keyswithoutshift);
    (void)SaveChild("keyswithshift", keyswithshift);
    return S_OK;
}

HRESULT LanguageEntry::Save(const DomNode& /*node*/) {
    (void)SetIntAttribute("id", id);
    (void)SetStringAttribute("target", target);
    return S_OK;
}

HRESULT ImageSource::Save(const DomNode& /*node*/) {
    if (type == 0) return S_OK;  // no source: an element without attributes
    HRESULT status = SetIntAttribute("type", type);
    if (Failed(status)) return status;
    switch (type) {
        case 1:
            return SetIntAttribute("color", color);
        case 2:
            return SetStringAttribute("filename", filename);
        case 3:
            status = SetIntAttribute("resourceid", resourceid);
            if (Failed(status)) return status;
            return SetStringAttribute("resourcetype", resourcetype);
        default:
            return S_OK;
    }
}

namespace {

// Writes one "jpeg" element of the given type holding an image file name.
void SaveImage(XmlNode& binding, std::string_view type, const std::string& file) {
    if (file.empty()) return;
    DomNode child;
    if (Failed(binding.CreateChildElement("jpeg", &child)) || !child) return;
    (void)binding.SetStringAttributeOn(child, "type", type);
    (void)binding.SetNodeValue(child, Variant::String(child.code_page().ToWide(file)));
    (void)binding.FinishElement(child);
}

}  // namespace

HRESULT KeyImages::Save(const DomNode& /*node*/) {
    SaveImage(*this, "normal", panel_->jpegnormal);
    SaveImage(*this, "pressed", panel_->jpegpressed);
    return S_OK;
}

HRESULT SoundList::Save(const DomNode& /*node*/) {
    // The table iterates in ascending id order; sounds without a file are left out.
    for (const auto& [id, file] : *sounds_) {
        if (file.empty()) continue;
        DomNode child;
        if (Failed(CreateChildElement("sound", &child)) || !child) continue;
        (void)SetIntAttributeOn(child, "id", id);
        (void)SetNodeValue(child, Variant::String(child.code_page().ToWide(file)));
        (void)FinishElement(child);
    }
    return S_OK;
}

}  // namespace dravonix
