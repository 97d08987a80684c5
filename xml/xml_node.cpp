// Binding of XmlNode objects to DOM nodes.
#include "xml/xml_node.h"

#include "xml/narrow_text.h"

namespace dravonix {

std::string_view XmlNode::Utf8Name(std::string_view narrow, std::string& storage) {
    // The format's names are ASCII: any code page reads them the same.
    return Utf8Text(CodePage(), narrow, storage);
}

void XmlNode::SetLevel(std::int32_t new_level) { level = new_level < 0 ? 0 : new_level; }

HRESULT XmlNode::Bind(const DomNode& node) {
    element = node;
    attributes = DomNamedNodeMap();
    return element.get_attributes(&attributes);
}

HRESULT XmlNode::OwnerDocument(DomDocument* document) const {
    if (document == nullptr) return E_POINTER;
    if (!element) return E_UNEXPECTED;
    HRESULT status = element.get_ownerDocument(document);
    if (Failed(status)) return status;
    if (*document) return S_OK;
    // A null owner: the bound node is the document itself.
    status = element.QueryDocument(document);
    if (Failed(status)) return status;
    return *document ? S_OK : E_NOINTERFACE;
}

}  // namespace dravonix
