// The writing operations of XmlNode: indented child elements, typed
// attributes, text values, nested objects and lists.
#include <string>

#include "dom/child_walk.h"
#include "dom/dom_build.h"
#include "xml/narrow_text.h"
#include "xml/xml_node.h"

namespace dravonix {

namespace {

// The indentation text: a line feed and `tabs` TAB characters. Keyboards
// nest a few levels deep, so the text is built only for deeper levels.
std::string_view Indentation(std::int32_t tabs, std::string& storage) {
    static constexpr std::string_view kShallow = "\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    // SetLevel never stores a negative level; one set directly counts as 0.
    const auto count = static_cast<std::size_t>(tabs < 0 ? 0 : tabs);
    if (count < kShallow.size()) return kShallow.substr(0, count + 1);
    storage.assign(1, '\n');
    storage.append(count, '\t');
    return storage;
}

}  // namespace

// The operations below create their nodes in the document of the bound
// node. OwnerDocument fails exactly when nothing is bound (E_UNEXPECTED), so
// they check that and let the bound node stand for its document.

HRESULT XmlNode::CreateChildElement(std::string_view name, DomNode* child) {
    // A failure hands back no element, so callers can never write into a stale one.
    if (child != nullptr) child->Release();
    if (!element) return E_UNEXPECTED;
    if (level >= 1) {
        std::string indentation;
        HRESULT status = dom::AppendNewText(element, element, Indentation(level, indentation));
        if (Failed(status)) return status;
    }
    std::string utf8_name;
    return dom::AppendNewElement(element, element, Utf8Name(name, utf8_name), child);
}

HRESULT XmlNode::FinishElement(const DomNode& child) {
    if (!dom::HasElementChild(child)) return S_OK;
    if (!element) return E_UNEXPECTED;
    std::string indentation;
    HRESULT status = dom::AppendNewText(element, child, Indentation(level, indentation));
    return Failed(status) ? status : S_OK;
}

HRESULT XmlNode::SetAttribute(std::string_view name, const Variant& value) {
    if (!element) return E_UNEXPECTED;
    std::string utf8_name;
    return dom::AddNewAttribute(element, attributes, Utf8Name(name, utf8_name), value);
}

namespace {

// Adds an attribute to target through add(map, ...), one of the dom::AddNew
// functions: fetching the map changes nothing, so it may come first; a
// failure to create the attribute is still the one reported.
template <class Add>
HRESULT AddOn(const DomNode& target, Add add) {
    DomNamedNodeMap map;
    const HRESULT map_status = target.get_attributes(&map);
    const HRESULT status = add(map);
    if (Failed(status)) return status;
    return Failed(map_status) ? map_status : S_OK;
}

}  // namespace

HRESULT XmlNode::SetAttributeOn(const DomNode& target, std::string_view name,
                                const Variant& value) {
    if (!element) return E_UNEXPECTED;
    std::string utf8_name;
    return AddOn(target, [&](const DomNamedNodeMap& map) {
        return dom::AddNewAttribute(element, map, Utf8Name(name, utf8_name), value);
    });
}

HRESULT XmlNode::SetIntAttributeOn(const DomNode& target, std::string_view name,
                                   std::int32_t value) {
    if (!element) return E_UNEXPECTED;
    std::string utf8_name;
    return AddOn(target, [&](const DomNamedNodeMap& map) {
        return dom::AddNewIntAttribute(element, map, Utf8Name(name, utf8_name), value);
    });
}

HRESULT XmlNode::SetStringAttributeOn(const DomNode& target, std::string_view name,
                                      std::string_view value) {
    if (!element) return E_UNEXPECTED;
    std::string utf8_name;
    std::string utf8_value;
    return AddOn(target, [&](const DomNamedNodeMap& map) {
        return dom::AddNewTextAttribute(element, map, Utf8Name(name, utf8_name),
                                        Utf8Text(element.code_page(), value, utf8_value));
    });
}

HRESULT XmlNode::SaveIntElement(std::string_view name,
                                std::initializer_list<dom::IntAttribute> values) {
    std::string utf8_name;
    const std::string_view element_name = Utf8Name(name, utf8_name);
    if (element && level >= 1) {
        std::string indentation;
        if (dom::AppendLeaf(element, Indentation(level, indentation), element_name, values)) {
            return S_OK;
        }
    }
    DomNode child;
    const HRESULT status = CreateChildElement(name, &child);
    if (Failed(status) || !child) return status;
    for (const dom::IntAttribute& attribute : values) {
        (void)AddOn(child, [&](const DomNamedNodeMap& map) {
            return dom::AddNewIntAttribute(element, map, attribute.utf8_name, attribute.value);
        });
    }
    (void)FinishElement(child);
    return S_OK;
}

HRESULT XmlNode::SetIntAttribute(std::string_view name, std::int32_t value) {
    if (!element) return E_UNEXPECTED;
    std::string utf8_name;
    return dom::AddNewIntAttribute(element, attributes, Utf8Name(name, utf8_name), value);
}

HRESULT XmlNode::SetStringAttribute(std::string_view name, const std::string& value) {
    if (!element) return E_UNEXPECTED;
    std::string utf8_name;
    std::string utf8_value;
    return dom::AddNewTextAttribute(element, attributes, Utf8Name(name, utf8_name),
                                    Utf8Text(element.code_page(), value, utf8_value));
}

HRESULT XmlNode::SetCharAttribute(std::string_view name, char value) {
    // A one-character value; the byte 0 gives an empty value.
    return SetStringAttribute(name, value == '\0' ? std::string() : std::string(1, value));
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
    // An element always has an attribute map.
    (void)child.Bind(created);
    status = child.Save(created);
    if (Failed(status)) return status;
    // A missing closing indentation leaves the file well-formed.
    (void)FinishElement(created);
    return S_OK;
}

void XmlNode::SaveInline(XmlNode& binding) {
    binding.SetLevel(level);
    // The binding shares this object's element, bound already.
    (void)binding.Bind(element);
    // Bindings write what they can; what the DOM refused is left out.
    (void)binding.Save(element);
}

}  // namespace dravonix
