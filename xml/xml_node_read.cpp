// The reading operations of XmlNode: typed attribute getters, the element's
// own text, named child elements, and loading children into objects. Values
// are read from the DOM's UTF-8 text in place; an observed read is told what
// each operation asked for and what it could not keep.
#include <type_traits>

#include "dom/child_walk.h"
#include "dom/dom_read.h"
#include "platform/unicode.h"
#include "xml/narrow_text.h"
#include "xml/read_report.h"
#include "xml/xml_node.h"

namespace dravonix {

namespace {

// The narrow model text, in the code page of node's document, of UTF-8 text,
// which ends at its first NUL byte, as a C string would; adds what became "?"
// to *losses (may be null).
std::string NarrowText(const DomNode& node, std::string_view utf8, NarrowLosses* losses) {
    std::string text;
    AppendUtf8AsNarrow(node.code_page(), utf8, text, losses);
    text.resize(std::string_view(text.c_str()).size());
    return text;
}

// Finds the attribute (named in UTF-8) of element as the getters do: S_OK
// with its text, S_FALSE when absent, E_UNEXPECTED without an element. Tells
// an observed read that the name was asked for.
HRESULT FindText(const DomNode& element, std::string_view utf8_name, std::string_view* text) {
    if (dom::TypeOf(element) != NODE_ELEMENT) return E_UNEXPECTED;
    if (ReadReport* report = ReadReport::Current()) report->AskedForAttribute(element, utf8_name);
    return dom::FindAttributeText(element, utf8_name, text) ? S_OK : S_FALSE;
}

// Reads an attribute as an integer or a boolean; an observed read hears of a
// value that does not convert, and what that costs.
template <class Value>
HRESULT ReadValue(const DomNode& element, std::string_view utf8_name, IfUnreadable effect,
                  Value* value) {
    std::string_view text;
    HRESULT status = FindText(element, utf8_name, &text);
    if (status != S_OK) return status;
    constexpr bool kBoolean = std::is_same_v<Value, bool>;
    if constexpr (kBoolean) {
        status = TextToBool(text, value);
    } else {
        status = TextToInt(text, value);
    }
    if (Failed(status)) {
        if (ReadReport* report = ReadReport::Current()) {
            report->Unreadable(element, utf8_name, text,
                               kBoolean ? ValueKind::kBoolean : ValueKind::kInteger, status,
                               effect);
        }
    }
    return status;
}

// Looks an attribute up and converts its value to vt, as a variant.
HRESULT ReadAttribute(const DomNode& element, std::string_view utf8_name, VARTYPE vt,
                      Variant* value) {
    std::string_view text;
    HRESULT status = FindText(element, utf8_name, &text);
    if (status != S_OK) return status;
    *value = Variant::String(Utf8ToUtf16(text));
    status = VariantChangeType(value, *value, 0, vt);
    if (Failed(status) && (vt == VT_I4 || vt == VT_BOOL)) {
        if (ReadReport* report = ReadReport::Current()) {
            report->Unreadable(element, utf8_name, text,
                               vt == VT_I4 ? ValueKind::kInteger : ValueKind::kBoolean, status,
                               IfUnreadable::kIgnore);
        }
    }
    return status;
}

}  // namespace

HRESULT XmlNode::GetAttribute(std::string_view name, VARTYPE vt, Variant* value) {
    if (value == nullptr) return E_POINTER;
    VariantClear(value);
    if (!attributes) return E_UNEXPECTED;
    std::string storage;
    return ReadAttribute(element, Utf8Name(name, storage), vt, value);
}

HRESULT XmlNode::GetAttributeOn(const DomNode& target, std::string_view name, VARTYPE vt,
                                Variant* value) {
    if (value == nullptr) return E_POINTER;
    VariantClear(value);
    DomNamedNodeMap map;
    HRESULT status = target.get_attributes(&map);
    if (Failed(status)) return status;
    if (!map) return E_UNEXPECTED;
    std::string storage;
    return ReadAttribute(target, Utf8Name(name, storage), vt, value);
}

HRESULT XmlNode::GetIntAttribute(std::string_view name, std::int32_t* value, IfUnreadable effect) {
    if (!attributes) return E_UNEXPECTED;
    std::string storage;
    return ReadValue(element, Utf8Name(name, storage), effect, value);
}

HRESULT XmlNode::GetStringAttribute(std::string_view name, std::string* value) {
    if (!attributes) return E_UNEXPECTED;
    std::string storage;
    const std::string_view utf8_name = Utf8Name(name, storage);
    std::string_view text;
    const HRESULT status = FindText(element, utf8_name, &text);
    if (status != S_OK) return status;
    ReadReport* report = ReadReport::Current();
    NarrowLosses losses;
    *value = NarrowText(element, text, report != nullptr ? &losses : nullptr);
    if (losses.replaced != 0) {
        report->Replaced(dom::FindAttribute(element, utf8_name),
                         "the \"" + std::string(utf8_name) + "\" of \"" +
                             std::string(dom::NameOf(element)) + "\"",
                         losses.first, losses.replaced);
    }
    return S_OK;
}

HRESULT XmlNode::GetCharAttribute(std::string_view name, char* value) {
    std::string text;
    HRESULT status = GetStringAttribute(name, &text);
    if (Failed(status)) return status;
    // A character of two bytes cannot be the one byte a key holds.
    if (status == S_OK && !text.empty()) {
        const CodePage page = element.code_page();
        const bool two_bytes = page.IsLeadByte(static_cast<unsigned char>(text[0]));
        *value = two_bytes ? '?' : text[0];
        ReadReport* report = ReadReport::Current();
        if (two_bytes && report != nullptr) {
            std::string shown;
            (void)page.AppendUtf8(text.substr(0, 2), shown);
            std::string storage;
            const std::string_view utf8_name = Utf8Name(name, storage);
            report->Add(dom::FindAttribute(element, utf8_name), XmlIssue::kCharacterReplaced,
                        "\"" + shown + "\" in the \"" + std::string(utf8_name) + "\" of \"" +
                            std::string(dom::NameOf(element)) + "\" is two bytes in code page " +
                            std::to_string(page.Number()) +
                            ", not the one byte of a key's character: it is read as \"?\"");
        }
    }
    return S_OK;
}

HRESULT XmlNode::GetBoolAttribute(std::string_view name, bool* value, IfUnreadable effect) {
    if (!attributes) return E_UNEXPECTED;
    std::string storage;
    return ReadValue(element, Utf8Name(name, storage), effect, value);
}

void XmlNode::IgnoreAttribute(std::string_view name) {
    if (ReadReport* report = ReadReport::Current(); report != nullptr && element) {
        std::string storage;
        report->AskedForAttribute(element, Utf8Name(name, storage));
    }
}

HRESULT XmlNode::GetNodeValue(std::string* value) {
    if (!element) return E_UNEXPECTED;
    *value = NarrowText(element, dom::TextBelow(element), nullptr);
    if (ReadReport* report = ReadReport::Current()) {
        // Each text node below the element is told of on its own line.
        const std::string place = "the text of \"" + std::string(dom::NameOf(element)) + "\"";
        for (DomNode text = dom::NextTextBelow(element, DomNode()); text;
             text = dom::NextTextBelow(element, text)) {
            NarrowLosses losses;
            (void)NarrowText(element, dom::TextOf(text), &losses);
            report->Replaced(text, place, losses.first, losses.replaced);
        }
    }
    return S_OK;
}

HRESULT XmlNode::FindChildElement(std::string_view name, DomNode* child) {
    if (child == nullptr) return E_POINTER;
    std::string storage;
    const std::string_view utf8_name = Utf8Name(name, storage);
    AskForChildren(utf8_name, true);
    // A failed lookup hands back no element.
    *child = dom::FirstChildElement(element, utf8_name);
    return *child ? S_OK : E_FAIL;
}

HRESULT XmlNode::GetChildIntAttribute(std::string_view child_name, std::string_view name,
                                      std::int32_t* value) {
    DomNode child;
    HRESULT status = FindChildElement(child_name, &child);
    if (Failed(status)) return status;
    Variant read;
    status = GetAttributeOn(child, name, VT_I4, &read);
    if (status == S_OK) *value = read.lVal;
    return status;
}

void XmlNode::LoadChildren(std::string_view name, XmlNode& object) {
    std::string storage;
    const std::string_view utf8_name = Utf8Name(name, storage);
    AskForChildren(utf8_name, false);
    for (DomNode child = dom::FirstChildElement(element, utf8_name); child;
         child = dom::NextSiblingElement(child, utf8_name)) {
        object.SetLevel(level + 1);
        // An element always has an attribute map.
        (void)object.Bind(child);
        // What a failing Load read stays; the next match goes on from there.
        (void)object.Load(child);
    }
}

void XmlNode::AskForChildren(std::string_view utf8_name, bool first_only) const {
    if (ReadReport* report = ReadReport::Current(); report != nullptr && element) {
        report->AskedForChildren(element, utf8_name, first_only);
    }
}

}  // namespace dravonix
