// Save of the key collections of a panel: "key" and "macro" elements and the
// "mkey" strokes of a macro. Parts the DOM refuses are left out (see
// keyboard_save.cpp).
#include "model/key_collections.h"
#include "xml/list_bindings.h"

namespace dravonix {

HRESULT Key::Save(const DomNode& /*node*/) {
    // Each attribute only when set; the first failure ends the key.
    HRESULT status = S_OK;
    if (sound != -1 && Failed(status = SetIntAttribute("sound", sound))) return status;
    if (type != -1 && Failed(status = SetIntAttribute("type", type))) return status;
    if (vkey != -1 && Failed(status = SetIntAttribute("vkey", vkey))) return status;
    if (character != '\0' && Failed(status = SetCharAttribute("char", character))) return status;
    if (!target.empty() && Failed(status = SetStringAttribute("target", target))) return status;
    if (language != -1 && Failed(status = SetIntAttribute("language", language))) return status;
    status = SaveChild("shape", shape);
    return Failed(status) ? status : S_OK;
}

HRESULT Macro::Save(const DomNode& /*node*/) {
    // Unlike a key, a macro never fails: its strokes are written whatever
    // became of its sound and shape.
    if (sound != -1) (void)SetIntAttribute("sound", sound);
    (void)SaveChild("shape", shape);
    MacroKeyList strokes(mkey);
    SaveInline(strokes);
    return S_OK;
}

HRESULT MacroKeyList::Save(const DomNode& /*node*/) {
    for (const MacroKey& stroke : *list_) {
        DomNode child;
        if (Failed(CreateChildElement("mkey", &child)) || !child) continue;
        if (stroke.vkey != -1) (void)SetIntAttributeOn(child, "vkey", stroke.vkey);
        if (stroke.pressed != -1) (void)SetIntAttributeOn(child, "pressed", stroke.pressed);
        // Every stroke carries "char" (empty for a virtual-key stroke), so that
        // a stroke typing the byte 255 keeps its character.
        (void)SetStringAttributeOn(
            child, "char",
            stroke.character == '\0' ? std::string_view() : std::string_view(&stroke.character, 1));
        (void)FinishElement(child);
    }
    return S_OK;
}

HRESULT KeyGroup::Save(const DomNode& /*node*/) {
    // A failing key ends the key list only; the macros are still written.
    (void)SaveList("key", key);
    (void)SaveList("macro", macro);
    return S_OK;
}

HRESULT KeyList::Save(const DomNode& /*node*/) {
    // A failing key ends the list; the panel goes on.
    (void)SaveList("key", key);
    return S_OK;
}

}  // namespace dravonix
