// The writing operations of XmlNode: indented child elements, typed
// attributes, text values, nested objects and lists.
#include <string>

#include "platform/codepage.h"
#include "xml/save_values.h"
#include "xml/xml_node.h"

namespace {

// The UTF-8 form of narrow text: the text itself when it is ASCII (element
// and attribute names always are), otherwise a converted copy in storage.
std::string_view Utf8Of(std::string_view narrow, std::string& storage) {
    for (char c : narrow) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            AppendNarrowAsUtf8(narrow, storage);
            return storage;
        }
    }
    return narrow;
}

// The indentation text: a line feed and `tabs` TAB characters.
std::string Indentation(std::int32_t tabs) {
    std::string text(1, '\n');
    text.append(static_cast<std::size_t>(tabs), '\t');
    return text;
}

// Creates a text node holding text (UTF-8) and appends it to parent.
HRESULT AppendText(const DomDocument& document, const DomNode& parent, std::string_view text) {
    DomNode node;
    HRESULT status = document.CreateNode(NODE_TEXT, {}, &node);
    if (Failed(status)) return status;
    status = node.PutText(text);
    if (Failed(status)) return status;
    return parent.appendChild(node, nullptr);
}

// Creates an attribute node of that name (narrow text) holding value.
HRESULT CreateAttribute(const DomDocument& document, std::string_view name, const Variant& value,
                        DomNode* attribute) {
    std::string storage;
    HRESULT status = document.CreateNode(NODE_ATTRIBUTE, Utf8Of(name, storage), attribute);
    if (Failed(status)) return status;
    attribute->put_nodeTypedValue(value);
    return S_OK;
}

}  // namespace

HRESULT XmlNode::CreateChildElement(std::string_view name, DomNode* child) {
    // A failure hands back no element, so callers can never write into a stale one.
    if (child != nullptr) child->Release();
    DomDocument document;
    HRESULT status = OwnerDocument(&document);
    if (Failed(status)) return status;
    if (level >= 1) {
        status = AppendText(document, element, Indentation(level));
        if (Failed(status)) return status;
    }
    DomNode created;
    std::string storage;
    status = document.CreateNode(NODE_ELEMENT, Utf8Of(name, storage), &created);
    if (Failed(status)) return status;
    status = element.appendChild(created, child);
    return Failed(status) ? status : S_OK;
}

HRESULT XmlNode::FinishElement(const DomNode& child) {
    bool has_element_child = false;
    DomNode node;
    child.get_firstChild(&node);
    while (node && !has_element_child) {
        DOMNodeType type = NODE_INVALID;
        node.get_nodeType(&type);
        has_element_child = type == NODE_ELEMENT;
        DomNode next;
        node.get_nextSibling(&next);
        node = std::move(next);
    }
    if (!has_element_child) return S_OK;
    DomDocument document;
    HRESULT status = OwnerDocument(&document);
    if (Failed(status)) return status;
    status = AppendText(document, child, Indentation(level));
    return Failed(status) ? status : S_OK;
}

HRESULT XmlNode::SetAttribute(std::string_view name, const Variant& value) {
    DomDocument document;
    HRESULT status = OwnerDocument(&document);
    if (Failed(status)) return status;
    DomNode attribute;
    status = CreateAttribute(document, name, value, &attribute);
    if (Failed(status)) return status;
    attributes.setNamedItem(attribute, nullptr);
    return S_OK;
}

HRESULT XmlNode::SetAttributeOn(const DomNode& target, std::string_view name,
                                const Variant& value) {
    DomDocument document;
    HRESULT status = OwnerDocument(&document);
    if (Failed(status)) return status;
    DomNode attribute;
    status = CreateAttribute(document, name, value, &attribute);
    if (Failed(status)) return status;
    DomNamedNodeMap map;
    status = target.get_attributes(&map);
    if (Failed(status)) return status;
    map.setNamedItem(attribute, nullptr);
    return S_OK;
}

HRESULT XmlNode::SetIntAttribute(std::string_view name, std::int32_t value) {
    return SetAttribute(name, Variant::Int(value));
}

HRESULT XmlNode::SetStringAttribute(std::string_view name, const std::string& value) {
    return SetAttribute(name, Variant::String(MultiByteToWideChar(value)));
}

HRESULT XmlNode::SetCharAttribute(std::string_view name, char value) {
    return SetAttribute(name, CharValue(value));
}

HRESULT XmlNode::SetBoolAttribute(std::string_view name, bool value) {
    return SetAttribute(name, Variant::Bool(value));
}

HRESULT XmlNode::SetNodeValue(const DomNode& node, const Variant& value) {
    DomDocument document;
    HRESULT status = OwnerDocument(&document);
    if (Failed(status)) return status;
    DOMNodeType type = NODE_INVALID;
    status = node.get_nodeType(&type);
    if (Failed(status)) return status;
    if (type == NODE_TEXT || type == NODE_ATTRIBUTE || type == NODE_COMMENT) {
        status = node.put_nodeTypedValue(value);
        return Failed(status) ? status : S_OK;
    }
    DomNode text;
    status = document.CreateNode(NODE_TEXT, {}, &text);
    if (Failed(status)) return status;
    status = text.put_nodeTypedValue(value);
    if (Failed(status)) return status;
    status = node.appendChild(text, nullptr);
    return Failed(status) ? status : S_OK;
}

HRESULT XmlNode::SaveChild(std::string_view name, XmlNode& child) {
    DomNode created;
    HRESULT status = CreateChildElement(name, &created);
    if (Failed(status)) return status;
    child.SetLevel(level + 1);
    child.Bind(created);
    status = child.Save(created);
    if (Failed(status)) return status;
    FinishElement(created);
    return S_OK;
}

HRESULT XmlNode::SaveInline(XmlNode& binding) {
    binding.SetLevel(level);
    binding.Bind(element);
    binding.Save(element);
    return S_OK;
}
