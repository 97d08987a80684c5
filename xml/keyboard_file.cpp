// Whole XML keyboard files: creating a document for a model and saving it,
// parsing a file and reading it into the model.
#include "xml/keyboard_file.h"

#include "dom/child_walk.h"
#include "dom/xml_parse.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/unicode.h"
#include "platform/variant.h"

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

// The name of the root element of a parsed document (empty when it has none).
std::u16string RootName(const DomDocument& parsed) {
    const DomNode root = dom::FirstChildElement(parsed);
    std::u16string name;
    if (!root || Failed(root.get_nodeName(&name))) name.clear();
    return name;
}

// True when the root element of a parsed document is named "keydef", exactly.
bool HasKeyboardRoot(const DomDocument& parsed) { return RootName(parsed) == u"keydef"; }

// Says why a file could not be read as a keyboard.
void DescribeLoadFailure(const std::string& path, const ParseFailure& failure,
                         const DomDocument& parsed, std::string* error) {
    if (failure.unreadable) {
        *error = FileFailureMessage("open", path, failure.message);
    } else if (!failure.message.empty()) {
        *error = path;
        if (failure.line != 0) error->append(":").append(std::to_string(failure.line));
        error->append(": ").append(failure.message);
    } else if (parsed) {
        *error = path + ": root element is \"";
        AppendUtf16AsUtf8(RootName(parsed), *error);
        error->append("\", not \"keydef\"");
    } else {
        *error = path + ": cannot be read as XML";
    }
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

bool SaveToFile(XmlNode& root, const std::string& path, std::string* error, FileSystem& files) {
    const DomDocument document = BuildDocument(root);
    if (!document) {
        if (error != nullptr)
            *error = FileFailureMessage("save", path, "no document could be created");
        return false;
    }
    std::string reason;
    const HRESULT status =
        document.save(Variant::String(MultiByteToWideChar(path)), files, &reason);
    if (Succeeded(status)) return true;
    if (reason.empty()) reason = status == E_OUTOFMEMORY ? "out of memory" : "not a file name";
    if (error != nullptr) *error = FileFailureMessage("save", path, reason);
    return false;
}

bool SaveToText(XmlNode& root, std::string* text) {
    const DomDocument document = BuildDocument(root);
    if (!document) return false;
    return Succeeded(document.SaveToString(text));
}

bool XmlNode::SaveToFile(const std::string& path) { return dravonix::SaveToFile(*this, path); }

bool XmlNode::SaveToText(std::string* text) { return dravonix::SaveToText(*this, text); }

KeyboardLoad LoadKeyboardFile(const std::string& path, KeyDefDocument& document,
                              std::string* error) {
    DomDocument parsed;
    ParseFailure failure;
    HRESULT status = ParseXmlFile(path, &parsed, &failure);
    const KeyboardLoad outcome = LoadParsed(status, parsed, document);
    if (outcome != KeyboardLoad::kLoaded && error != nullptr) {
        DescribeLoadFailure(path, failure, parsed, error);
    }
    return outcome;
}

KeyboardLoad LoadKeyboardMemory(std::string_view bytes, KeyDefDocument& document) {
    DomDocument parsed;
    HRESULT status = ParseXmlMemory(bytes, &parsed);
    return LoadParsed(status, parsed, document);
}

}  // namespace dravonix
