// Save of the keyboard, its panels and their parts: the root element "keydef",
// each "subkeydef" with its geometry, language entries, images, sounds,
// background, outlines and key collections.
#include "model/key_definition.h"
#include "xml/list_bindings.h"
#include "xml/save_values.h"

namespace dravonix {

HRESULT KeyDefDocument::Save(const DomNode& /*node*/) {
    SaveChild("keydef", keydef);
    return S_OK;
}

HRESULT KeyDefinition::Save(const DomNode& /*node*/) {
    SetStringAttribute("name", name);
    SaveList("subkeydef", subkeydef);
    return S_OK;
}

HRESULT SubKeyDefinition::Save(const DomNode& /*node*/) {
    SetStringAttribute("name", name);
    SetStringAttribute("type", type);
    SetIntAttribute("language", language);
    SetBoolAttribute("forcewinkeyboard", forcewinkeyboard);
    SetBoolAttribute("docked", docked);

    // An element the DOM could not create is left out; the panel goes on.
    DomNode child;
    if (Succeeded(CreateChildElement("hotspot", &child)) && child) {
        SetAttributeOn(child, "x", IntValue(hotspot.x));
        SetAttributeOn(child, "y", IntValue(hotspot.y));
        FinishElement(child);
    }
    child.Release();
    if (Succeeded(CreateChildElement("dockrect", &child)) && child) {
        SetAttributeOn(child, "x1", IntValue(dockrect.x1));
        SetAttributeOn(child, "y1", IntValue(dockrect.y1));
        SetAttributeOn(child, "x2", IntValue(dockrect.x2));
        SetAttributeOn(child, "y2", IntValue(dockrect.y2));
        FinishElement(child);
    }
    child.Release();

    // A failing language entry ends the language list only.
    SaveList("language", languages);

    KeyImages images(*this);
    SaveInline(images);
    SoundList sound_list(sounds);
    SaveInline(sound_list);

    SaveChild("dockbackground", dockbackground);
    SaveChild("shape", shape);
    SaveChild("nondragarea", nondragarea);
    SaveChild("nonshiftkeys", nonshiftkeys);
    SaveChild("keyswithoutshift", keyswithoutshift);
    SaveChild("keyswithshift", keyswithshift);
    return S_OK;
}

HRESULT LanguageEntry::Save(const DomNode& /*node*/) {
    SetIntAttribute("id", id);
    SetStringAttribute("target", target);
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
    binding.SetAttributeOn(child, "type", StringValue(type));
    binding.SetNodeValue(child, StringValue(file));
    binding.FinishElement(child);
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
        SetAttributeOn(child, "id", IntValue(id));
        SetNodeValue(child, StringValue(file));
        FinishElement(child);
    }
    return S_OK;
}

}  // namespace dravonix
