// Reading an XML keyboard file into the keyboard model.
#include "xml/keyboard_file.h"

#include "dom/xml_parse.h"

namespace dravonix {

namespace {

// True when the root element of a parsed document is named "keydef", exactly.
bool HasKeyboardRoot(const DomDocument& parsed) {
    DomNode node;
    parsed.get_firstChild(&node);
    while (node) {
        DOMNodeType type = NODE_INVALID;
        node.get_nodeType(&type);
        if (type == NODE_ELEMENT) {
            std::u16string name;
            return Succeeded(node.get_nodeName(&name)) && name == u"keydef";
        }
        DomNode next;
        node.get_nextSibling(&next);
        node = std::move(next);
    }
    return false;
}

// Binds the root of the model to a parsed document and reads it.
KeyboardLoad LoadParsed(HRESULT parse_status, const DomDocument& parsed, KeyDefDocument& document) {
    if (Failed(parse_status) || !parsed) return KeyboardLoad::kUnreadable;
    if (!HasKeyboardRoot(parsed)) return KeyboardLoad::kNotKeyboard;
    document.SetLevel(0);
    document.Bind(parsed);
    document.Load(parsed);
    return KeyboardLoad::kLoaded;
}

}  // namespace

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
