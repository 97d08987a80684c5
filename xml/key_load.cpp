// Load of the key collections of a panel: "key" and "macro" elements and the
// "mkey" strokes of a macro.
#include "model/key_collections.h"
#include "xml/list_bindings.h"

namespace dravonix {

HRESULT Key::Load(const DomNode& /*node*/) {
    // The first value that does not convert fails the key, which its list
    // then drops; the rest is read all the same, so that an observed read
    // reports every value that would have dropped it.
    HRESULT status = S_OK;
    const auto keep_first_failure = [&status](HRESULT read) {
        if (Failed(read) && !Failed(status)) status = read;
    };
    keep_first_failure(GetIntAttribute("sound", &sound, IfUnreadable::kDropElement));
    keep_first_failure(GetIntAttribute("type", &type, IfUnreadable::kDropElement));
    keep_first_failure(GetIntAttribute("vkey", &vkey, IfUnreadable::kDropElement));
    keep_first_failure(GetCharAttribute("char", &character));
    keep_first_failure(GetStringAttribute("target", &target));
    keep_first_failure(GetIntAttribute("language", &language, IfUnreadable::kDropElement));
    LoadChildren("shape", shape);
    return Failed(status) ? status : S_OK;
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
    HRESULT status = GetIntAttribute("vkey", &stroke.vkey, IfUnreadable::kDropElement);
    // The state is written as "pressed"; older files may carry it as "press",
    // which is read only when "pressed" is absent.
    HRESULT pressed = GetIntAttribute("pressed", &stroke.pressed, IfUnreadable::kDropElement);
    if (pressed == S_FALSE) {
        pressed = GetIntAttribute("press", &stroke.pressed, IfUnreadable::kDropElement);
    } else {
        IgnoreAttribute("press");
    }
    const HRESULT character = GetCharAttribute("char", &stroke.character);
    for (const HRESULT read : {pressed, character}) {
        if (Failed(read) && !Failed(status)) status = read;
    }
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
