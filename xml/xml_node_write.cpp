// The writing operations of XmlNode: indented child elements, typed
// attributes, text values, nested objects and lists.
#include <string>

#include "platform/codepage.h"
#include "xml/save_values.h"
#include "xml/xml_node.h"

namespace {

// The indentation text: a line feed and `tabs` TAB characters.
std::u16string Indentation(std::int32_t tabs) {
    std::u16string text(1, u'\n');
    text.append(static_cast<std::size_t>(tabs), u'\t');
    return text;
}

// Creates a text node holding text and appends it to parent.
HRESULT AppendText(const DomDocument& document, const DomNode& parent, std::u16string text) {
    DomNode node;
    HRESULT status = document.createNode(Variant::Int(NODE_TEXT), u"", u"", &node);
    if (Failed(status)) return status;
    status = node.put_nodeTypedValue(Variant::String(std::move(text)));
    if (Failed(status)) return status;
    return parent.appendChild(node, nullptr);
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
    status =
        document.createNode(Variant::Int(NODE_ELEMENT), MultiByteToWideChar(name), u"", &created);
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
    status = document.createNode(Variant::Int(NODE_ATTRIBUTE), MultiByteToWideChar(name), u"",
                                 &attribute);
    if (Failed(status)) return status;
    attribute.put_nodeTypedValue(value);
    attributes.setNamedItem(attribute, nullptr);
    return S_OK;
}

HRESULT XmlNode::SetAttributeOn(const DomNode& target, std::string_view name,
                                const Variant& value) {
    DomDocument document;
    HRESULT status = OwnerDocument(&document);
    if (Failed(status)) return status;
    DomNode attribute;
    status = document.createNode(Variant::Int(NODE_ATTRIBUTE), MultiByteToWideChar(name), u"",
                                 &attribute);
    if (Failed(status)) return status;
    attribute.put_nodeTypedValue(value);
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
    status = document.createNode(Variant::Int(NODE_TEXT), u"", u"", &text);
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
