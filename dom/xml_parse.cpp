#include "dom/xml_parse.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "dom/dom_store.h"
#include "dom/libxml_error_scope.h"
#include "platform/file_system.h"

namespace dravonix {

namespace {

using dom::Store;

std::string_view Utf8(const xmlChar* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

// What the error reports of one parse said. libxml2 may stop early when it
// is refused memory and still hand back the part of the tree it had built,
// or drop a node and go on, so such a parse must count as failed.
// The first error is kept to tell the user why the text is not well-formed.
struct ParseReport {
    bool out_of_memory = false;
    bool have_error = false;
    int line = 0;
    // Kept in place: this runs inside libxml2, where nothing may throw.
    char message[200] = {};
    std::size_t message_length = 0;
};

void RecordError(void* context, xmlErrorPtr error) {
    auto* report = static_cast<ParseReport*>(context);
    if (error->code == XML_ERR_NO_MEMORY || error->domain == XML_FROM_MEMORY) {
        report->out_of_memory = true;
    }
    if (report->have_error || error->level < XML_ERR_ERROR) return;
    report->have_error = true;
    report->line = error->line;
    // Messages end with a newline; a hostile document may make them long.
    std::string_view text = error->message != nullptr ? error->message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    report->message_length = std::min(text.size(), sizeof report->message);
    std::memcpy(report->message, text.data(), report->message_length);
    // One line: some messages go on with the offending bytes on a second line.
    std::replace(report->message, report->message + report->message_length, '\n', ' ');
}

struct DocDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// The name as written: prefix:local, or local without a namespace prefix.
std::string QualifiedName(const xmlNs* ns, const xmlChar* local) {
    std::string name;
    if (ns != nullptr && ns->prefix != nullptr) name.append(Utf8(ns->prefix)).push_back(':');
    name.append(Utf8(local));
    return name;
}

// Concatenates the text children of an attribute; false when it holds an
// entity reference.
bool AttributeText(const xmlAttr* attribute, std::string* text) {
    for (const xmlNode* child = attribute->children; child != nullptr; child = child->next) {
        if (child->type != XML_TEXT_NODE) return false;
        text->append(Utf8(child->content));
    }
    return true;
}

// Carries the attributes of an element into the store, namespace
// declarations first as the attributes they were written as; E_FAIL for an
// attribute that holds an entity reference.
HRESULT CarryAttributes(Store& store, const xmlNode* source, std::uint32_t element) {
    for (const xmlNs* ns = source->nsDef; ns != nullptr; ns = ns->next) {
        std::string name = "xmlns";
        if (ns->prefix != nullptr) name.append(":").append(Utf8(ns->prefix));
        HRESULT status = store.AddAttribute(element, store.InternName(name), Utf8(ns->href));
        if (Failed(status)) return status;
    }
    for (const xmlAttr* a = source->properties; a != nullptr; a = a->next) {
        std::string value;
        if (!AttributeText(a, &value)) return E_FAIL;
        HRESULT status =
            store.AddAttribute(element, store.InternName(QualifiedName(a->ns, a->name)), value);
        if (Failed(status)) return status;
    }
    return S_OK;
}

// Carries one libxml2 node (without its children) into the store below
// parent. Fails (E_FAIL) for content this layer does not accept; a skipped
// node leaves *index at kNone.
HRESULT CarryNode(Store& store, const xmlNode* source, std::uint32_t parent, std::uint32_t* index) {
    *index = dom::kNone;
    DOMNodeType type = NODE_INVALID;
    std::uint32_t name = dom::kNone;
    switch (source->type) {
        case XML_ELEMENT_NODE:
            type = NODE_ELEMENT;
            name = store.InternName(QualifiedName(source->ns, source->name));
            break;
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            type = NODE_TEXT;
            break;
        case XML_COMMENT_NODE:
            type = NODE_COMMENT;
            break;
        case XML_PI_NODE:
            type = NODE_PROCESSING_INSTRUCTION;
            name = store.InternName(Utf8(source->name));
            break;
        case XML_DTD_NODE:
            return S_OK;  // the document type declaration is not carried
        case XML_ENTITY_REF_NODE:
        default:
            return E_FAIL;  // entities are never expanded
    }
    HRESULT status = store.NewNode(type, name, index);
    if (Failed(status)) return status;
    if (type == NODE_ELEMENT) {
        status = CarryAttributes(store, source, *index);
        if (Failed(status)) return status;
    } else {
        store.SetText(*index, Utf8(source->content));
    }
    return store.Append(parent, *index);
}

// Copies the libxml2 tree into a new store, depth first without recursion.
// On failure *failed_at is the node that could not be carried.
HRESULT Carry(const xmlDoc* source, Store& store, const xmlNode** failed_at) {
    const xmlNode* node = source->children;
    std::uint32_t parent = 0;
    while (node != nullptr) {
        std::uint32_t index = dom::kNone;
        HRESULT status = CarryNode(store, node, parent, &index);
        if (Failed(status)) {
            *failed_at = node;
            return status;
        }
        if (node->type == XML_ELEMENT_NODE && node->children != nullptr) {
            parent = index;
            node = node->children;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent;
            if (node == nullptr || node->type == XML_DOCUMENT_NODE) return S_OK;
            parent = store.at(parent).parent;
        }
        if (node != nullptr) node = node->next;
    }
    return S_OK;
}

// Reads a file completely; false for anything that cannot be read, with the
// reason in *error.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    std::unique_ptr<ReadableFile> file = SystemFileSystem().OpenForReading(path, error);
    if (file == nullptr) return false;
    char buffer[65536];
    std::size_t got = 0;
    while (file->Read(buffer, sizeof buffer, &got, error)) {
        if (got == 0) return true;
        bytes->append(buffer, got);
    }
    return false;
}

// Says why the carry stopped at node: an entity this layer never expands.
void DescribeCarryFailure(HRESULT status, const xmlNode* node, ParseFailure* failure) {
    if (status == E_OUTOFMEMORY || node == nullptr) {
        failure->message = "out of memory";
        return;
    }
    const long line = xmlGetLineNo(node);
    failure->line = line > 0 ? static_cast<std::size_t>(line) : 0;
    failure->message = "refers to an entity, which is never expanded";
}

}  // namespace

HRESULT ParseXmlMemory(std::string_view bytes, DomDocument* document, ParseFailure* failure) {
    ParseFailure ignored;
    if (failure == nullptr) failure = &ignored;
    if (document == nullptr) return E_POINTER;
    document->Release();
    DomDocument result;
    HRESULT status = CreateDomDocument(&result);
    if (Failed(status)) return status;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        failure->message = "too large to parse (2 GiB or more)";
        return E_FAIL;
    }
    // No entity substitution, no DTD loading, no network, no messages on the
    // console; whitespace text is kept.
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    static const bool initialized = (xmlInitParser(), true);  // once, before the first parse
    (void)initialized;
    ParseReport report;
    std::unique_ptr<xmlDoc, DocDeleter> parsed;
    {
        LibxmlErrorScope scope(&report, RecordError);
        parsed.reset(
            xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
    }
    if (report.out_of_memory) {
        failure->message = "out of memory";
        return E_OUTOFMEMORY;
    }
    if (parsed == nullptr) {
        failure->line = report.line > 0 ? static_cast<std::size_t>(report.line) : 0;
        failure->message = "not well-formed";
        if (report.message_length != 0) {
            failure->message.append(": ").append(report.message, report.message_length);
        }
        return E_FAIL;
    }
    const xmlNode* failed_at = nullptr;
    status = Carry(parsed.get(), *Store::StoreOf(result), &failed_at);
    if (Failed(status)) {
        DescribeCarryFailure(status, failed_at, failure);
        return status;
    }
    *document = std::move(result);
    return S_OK;
}

HRESULT ParseXmlFile(const std::string& path, DomDocument* document, ParseFailure* failure) {
    if (document == nullptr) return E_POINTER;
    document->Release();
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(path, &bytes, &error)) {
        if (failure != nullptr) {
            failure->unreadable = true;
            failure->message = std::move(error);
        }
        return E_FAIL;
    }
    return ParseXmlMemory(bytes, document, failure);
}

}  // namespace dravonix
