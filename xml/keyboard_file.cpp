// Whole XML keyboard files: creating a document for a model and saving it,
// parsing a file and reading it into the model.
#include "xml/keyboard_file.h"

#include <memory>
#include <optional>
#include <utility>

#include "dom/child_walk.h"
#include "dom/dom_read.h"
#include "dom/xml_parse.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/unicode.h"
#include "platform/variant.h"
#include "xml/read_report.h"

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

// The root element of a parsed document (a null handle when it has none).
DomNode RootOf(const DomDocument& parsed) { return dom::FirstChildElement(parsed); }

// Says why a file could not be read as a keyboard.
void DescribeLoadFailure(const std::string& path, const ParseFailure& failure,
                         const DomDocument& parsed, std::string* error) {
    if (!failure.message.empty()) {
        *error = path;
        if (failure.line != 0) error->append(":").append(std::to_string(failure.line));
        error->append(": ").append(failure.message);
    } else if (parsed) {
        *error = path + ": root element is \"";
        error->append(dom::NameOf(RootOf(parsed)));
        error->append("\", not \"keydef\"");
    } else {
        *error = path + ": cannot be read as XML";
    }
}

// Parses bytes for LoadParsed, keeping the lines an observed read needs;
// false when they cannot be read.
bool Parse(std::string_view bytes, bool observed, DomDocument* parsed, ParseDetails* details) {
    details->keep_lines = observed;
    return Succeeded(ParseXmlText(bytes, parsed, details)) && *parsed;
}

// Reads a parsed document into the model, telling observer (may be null)
// what the reader ignores or changes.
KeyboardLoad LoadParsed(const DomDocument& parsed, const ParseDetails& details,
                        KeyDefDocument& document, XmlObserver* observer) {
    const DomNode root = RootOf(parsed);
    const bool keyboard = dom::NameOf(root) == "keydef";
    std::optional<ReadReport> report;
    if (observer != nullptr) {
        report.emplace(*observer);
        if (details.doctype_line != 0) {
            report->AddBefore(details.doctype_line, details.doctype_position,
                              XmlIssue::kDoctypeDropped,
                              "document type declaration is not kept: a resave drops it");
        }
        if (!keyboard) {
            report->Add(root, XmlIssue::kRootNotKeydef,
                        "root element is \"" + std::string(dom::NameOf(root)) +
                            "\", not \"keydef\": no keyboard is read");
        }
    }
    if (keyboard) {
        document.SetLevel(0);
        // The document node has no attribute map: binding reports S_FALSE.
        (void)document.Bind(parsed);
        // The root's Load reads what it can and always succeeds.
        (void)document.Load(parsed);
    }
    if (report) report->Finish(parsed, keyboard);
    return keyboard ? KeyboardLoad::kLoaded : KeyboardLoad::kNotKeyboard;
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

bool SaveToSink(XmlNode& root, const std::function<bool(std::string_view)>& sink) {
    const DomDocument document = BuildDocument(root);
    if (!document) return false;
    return Succeeded(document.SaveToSink(sink));
}

bool XmlNode::SaveToFile(const std::string& path) { return dravonix::SaveToFile(*this, path); }

bool XmlNode::SaveToText(std::string* text) { return dravonix::SaveToText(*this, text); }

KeyboardLoad LoadKeyboardFile(const std::string& path, KeyDefDocument& document, std::string* error,
                              XmlObserver* observer) {
    DomDocument parsed;
    ParseDetails details;
    {
        std::string bytes;
        std::string reason;
        if (!SystemFileSystem().ReadStream(path, &bytes, &reason)) {
            if (error != nullptr) *error = FileFailureMessage("open", path, reason);
            return KeyboardLoad::kUnreadable;
        }
        // The bytes go before the model is read: a large file's text need
        // not stay beside its tree and its model.
        if (!Parse(bytes, observer != nullptr, &parsed, &details)) {
            if (error != nullptr) DescribeLoadFailure(path, details.failure, parsed, error);
            return KeyboardLoad::kUnreadable;
        }
    }
    const KeyboardLoad outcome = LoadParsed(parsed, details, document, observer);
    if (outcome != KeyboardLoad::kLoaded && error != nullptr) {
        DescribeLoadFailure(path, details.failure, parsed, error);
    }
    return outcome;
}

KeyboardLoad LoadKeyboardMemory(std::string_view bytes, KeyDefDocument& document,
                                XmlObserver* observer, ParseFailure* failure) {
    DomDocument parsed;
    ParseDetails details;
    if (!Parse(bytes, observer != nullptr, &parsed, &details)) {
        if (failure != nullptr) *failure = std::move(details.failure);
        return KeyboardLoad::kUnreadable;
    }
    return LoadParsed(parsed, details, document, observer);
}

}  // namespace dravonix
