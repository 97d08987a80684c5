// Creating an XML document for a model and saving it to disk.
#include "platform/codepage.h"
#include "xml/xml_node.h"

namespace dravonix {

bool XmlNode::SaveToFile(const std::string& path) {
    DomDocument document;
    (void)CreateDomDocument(&document);  // a failure leaves the document null
    if (!document) return false;
    Bind(document);
    Save(document);
    Variant destination = Variant::String(MultiByteToWideChar(path));
    HRESULT status = document.save(destination);
    return Succeeded(status);
}

bool XmlNode::SaveToText(std::string* text) {
    DomDocument document;
    (void)CreateDomDocument(&document);  // a failure leaves the document null
    if (!document) return false;
    Bind(document);
    Save(document);
    return Succeeded(document.SaveToString(text));
}

}  // namespace dravonix
