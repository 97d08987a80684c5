// Whole XML keyboard files: creating a document for a model and saving it,
// parsing a file and reading it into the model.
#include "xml/keyboard_file.h"

#include "dom/child_walk.h"
#include "dom/xml_parse.h"
#include "platform/codepage.h"

namespace dravonix {

namespace {

// A new document with root bound to it and written into it; a null document
// when none can be created.
DomDocument BuildDocument(XmlNode& root) {
    DomDocument document;
    // A failure leaves document null, which the callers test.
    (void)CreateDomDocument(&document);
    if (!document) return document;
    // The document node has no attribute map: binding reports S_FALSE.
    (void)root.Bind(document);
    // Whatever root could not write is left out; the document is saved anyway.
    (void)root.Save(document);
    return document;
}

// True when the root element of a parsed document is named "keydef", exactly.
bool HasKeyboardRoot(const DomDocument& parsed) {
    const DomNode root = dom::FirstChildElement(parsed);
    std::u16string name;
    return root && Succeeded(root.get_nodeName(&name)) && name == u"keydef";
}

// Binds the root of the model to a parsed document and reads it.
KeyboardLoad LoadParsed(HRESULT parse_status, const DomDocument& parsed, KeyDefDocument& document) {
    if (Failed(parse_status) || !parsed) return KeyboardLoad::kUnreadable;
    if (!HasKeyboardRoot(parsed)) return KeyboardLoad::kNotKeyboard;
    document.SetLevel(0);
    // The document node has no attribute map: binding reports S_FALSE.
    (void)document.Bind(parsed);
    // The root's Load reads what it can and always succeeds.
    (void)document.Load(parsed);
    return KeyboardLoad::kLoaded;
}

}  // namespace

bool SaveToFile(XmlNode& root, const std::string& path) {
    const DomDocument document = BuildDocument(root);
    if (!document) return false;
    return Succeeded(document.save(Variant::String(MultiByteToWideChar(path))));
}

bool SaveToText(XmlNode& root, std::string* text) {
    const DomDocument document = BuildDocument(root);
    if (!document) return false;
    return Succeeded(document.SaveToString(text));
}

bool XmlNode::SaveToFile(const std::string& path) { return dravonix::SaveToFile(*this, path); }

bool XmlNode::SaveToText(std::string* text) { return dravonix::SaveToText(*this, text); }

KeyboardLoad LoadKeyboardFile(const std::string& path, KeyDefDocument& document) {
    DomDocument parsed;
    HRESULT status = ParseXmlFile(path, &parsed);
    return LoadParsed(status, parsed, document);
}

KeyboardLoad LoadKeyboardMemory(std::string_view bytes, KeyDefDocument& document) {
    DomDocument parsed;
    HRESULT status = ParseXmlMemory(bytes, &parsed);
    return LoadParsed(status, parsed, document);
}

}  // namespace dravonix
