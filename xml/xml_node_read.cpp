// The reading operations of XmlNode: typed attribute getters, the element's
// own text, named child elements, and loading children into objects.
#include "dom/child_walk.h"
#include "platform/codepage.h"
#include "xml/xml_node.h"

namespace dravonix {

namespace {

// Looks an attribute up in map and converts its value to vt.
HRESULT ReadAttribute(const DomNamedNodeMap& map, std::string_view name, VARTYPE vt,
                      Variant* value) {
    DomNode attribute;
    HRESULT status = map.getNamedItem(MultiByteToWideChar(name), &attribute);
    if (Failed(status)) return status;
    if (!attribute) return S_FALSE;
    status = attribute.get_nodeTypedValue(value);
    if (Failed(status)) return status;
    return VariantChangeType(value, *value, 0, vt);
}

// The narrow model text of an automation string; it ends at its first NUL
// byte, as a C string would.
std::string NarrowText(std::u16string_view wide) {
    std::string text = WideCharToMultiByte(wide);
    text.resize(std::string_view(text.c_str()).size());
    return text;
}

}  // namespace

HRESULT XmlNode::GetAttribute(std::string_view name, VARTYPE vt, Variant* value) {
    if (value == nullptr) return E_POINTER;
    VariantClear(value);
    if (!attributes) return E_UNEXPECTED;
    return ReadAttribute(attributes, name, vt, value);
}

HRESULT XmlNode::GetAttributeOn(const DomNode& target, std::string_view name, VARTYPE vt,
                                Variant* value) {
    if (value == nullptr) return E_POINTER;
    VariantClear(value);
    DomNamedNodeMap map;
    HRESULT status = target.get_attributes(&map);
    if (Failed(status)) return status;
    if (!map) return E_UNEXPECTED;
    return ReadAttribute(map, name, vt, value);
}

HRESULT XmlNode::GetIntAttribute(std::string_view name, std::int32_t* value) {
    Variant read;
    HRESULT status = GetAttribute(name, VT_I4, &read);
    if (status == S_OK) *value = read.lVal;
    return status;
}

HRESULT XmlNode::GetStringAttribute(std::string_view name, std::string* value) {
    Variant read;
    HRESULT status = GetAttribute(name, VT_BSTR, &read);
    if (status == S_OK) *value = NarrowText(read.bstrVal);
    return status;
}

HRESULT XmlNode::GetCharAttribute(std::string_view name, char* value) {
    std::string text;
    HRESULT status = GetStringAttribute(name, &text);
    if (Failed(status)) return status;
    if (status == S_OK && !text.empty()) *value = text[0];
    return S_OK;
}

HRESULT XmlNode::GetBoolAttribute(std::string_view name, bool* value) {
    Variant read;
    HRESULT status = GetAttribute(name, VT_BOOL, &read);
    if (status == S_OK) *value = read.boolVal == VARIANT_TRUE;
    return status;
}

HRESULT XmlNode::GetNodeValue(std::string* value) {
    if (!element) return E_UNEXPECTED;
    Variant read;
    HRESULT status = element.get_nodeTypedValue(&read);
    if (Failed(status)) return status;
    status = VariantChangeType(&read, read, 0, VT_BSTR);
    if (Failed(status)) return status;
    *value = NarrowText(read.bstrVal);
    return S_OK;
}

HRESULT XmlNode::FindChildElement(std::string_view name, DomNode* child) {
    if (child == nullptr) return E_POINTER;
    std::string storage;
    // A failed lookup hands back no element.
    *child = dom::FirstChildElement(element, Utf8Name(name, storage));
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
    for (DomNode child = dom::FirstChildElement(element, utf8_name); child;
         child = dom::NextSiblingElement(child, utf8_name)) {
        object.SetLevel(level + 1);
        // An element always has an attribute map.
        (void)object.Bind(child);
        // What a failing Load read stays; the next match goes on from there.
        (void)object.Load(child);
    }
}

}  // namespace dravonix
