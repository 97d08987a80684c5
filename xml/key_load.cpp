// Load of the key collections of a panel: "key" and "macro" elements and the
// "mkey" strokes of a macro.
#include "model/key_collections.h"
#include "xml/list_bindings.h"

namespace dravonix {

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
    (void)GetIntAttribute("sound", &sound);
    LoadChildren("shape", shape);
    MacroKeyList strokes(mkey);
    LoadChildren("mkey", strokes);
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

HRESULT KeyGroup::Load(const DomNode& /*node*/) {
    LoadList("key", key);
    LoadList("macro", macro);
    return S_OK;
}

HRESULT KeyList::Load(const DomNode& /*node*/) {
    LoadList("key", key);
    return S_OK;
}

}  // namespace dravonix
