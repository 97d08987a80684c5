#include "dom/xml_parse.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlmemory.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "dom/dom_store.h"
#include "platform/file_system.h"

namespace dravonix {

namespace {

using dom::Store;

std::string_view Utf8(const xmlChar* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

// Set when libxml2 is refused memory during a parse. It may then stop early
// and still hand back the part of the tree it had built, or drop a node
// without a word, so such a parse must count as failed.
bool out_of_memory = false;

void* TrackedMalloc(std::size_t size) {
    void* block = std::malloc(size);
    if (block == nullptr && size != 0) out_of_memory = true;
    return block;
}

void* TrackedRealloc(void* block, std::size_t size) {
    void* moved = std::realloc(block, size);
    if (moved == nullptr && size != 0) out_of_memory = true;
    return moved;
}

char* TrackedStrdup(const char* text) {
    char* copy = ::strdup(text);
    if (copy == nullptr) out_of_memory = true;
    return copy;
}

void Free(void* block) { std::free(block); }

// libxml2 writes some messages (running out of memory among them) to standard
// error even when asked not to report errors; these handlers swallow them.
void IgnoreMessage(void*, const char*, ...) {}
void IgnoreError(void*, xmlErrorPtr) {}

// Routes libxml2's allocations through the tracking functions (once, before
// its first use) and its messages away from the console.
void PrepareLibxml() {
    static const bool prepared = [] {
        xmlMemSetup(Free, TrackedMalloc, TrackedRealloc, TrackedStrdup);
        xmlInitParser();
        return true;
    }();
    (void)prepared;
    xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
    xmlSetStructuredErrorFunc(nullptr, IgnoreError);
}

struct DocDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

// Concatenates the text children of an attribute; false when it holds an
// entity reference.
bool AttributeText(const xmlAttr* attribute, std::string* text) {
    for (const xmlNode* child = attribute->children; child != nullptr; child = child->next) {
        if (child->type != XML_TEXT_NODE) return false;
        text->append(Utf8(child->content));
    }
    return true;
}

// Carries one libxml2 node (without its children) into the store below parent.
// Returns false for content this layer does not accept; skipped nodes leave
// *index at kNone.
HRESULT CarryNode(Store& store, const xmlNode* source, std::uint32_t parent, std::uint32_t* index) {
    *index = dom::kNone;
    HRESULT status = S_OK;
    switch (source->type) {
        case XML_ELEMENT_NODE: {
            std::string name;
            if (source->ns != nullptr && source->ns->prefix != nullptr) {
                name.append(Utf8(source->ns->prefix)).push_back(':');
            }
            name.append(Utf8(source->name));
            status = store.NewNode(NODE_ELEMENT, store.InternName(name), index);
            if (Failed(status)) return status;
            // Namespace declarations come back as the attributes they were written as.
            for (const xmlNs* ns = source->nsDef; ns != nullptr; ns = ns->next) {
                std::string attribute_name = "xmlns";
                if (ns->prefix != nullptr) attribute_name.append(":").append(Utf8(ns->prefix));
                std::uint32_t attribute = 0;
                status =
                    store.NewNode(NODE_ATTRIBUTE, store.InternName(attribute_name), &attribute);
                if (Failed(status)) return status;
                store.SetText(attribute, Utf8(ns->href));
                DomNode element = Store::MakeNode(&store, *index);
                DomNamedNodeMap map;
                element.get_attributes(&map);
                map.setNamedItem(Store::MakeNode(&store, attribute), nullptr);
            }
            for (const xmlAttr* a = source->properties; a != nullptr; a = a->next) {
                std::string attribute_name;
                if (a->ns != nullptr && a->ns->prefix != nullptr) {
                    attribute_name.append(Utf8(a->ns->prefix)).push_back(':');
                }
                attribute_name.append(Utf8(a->name));
                std::string value;
                if (!AttributeText(a, &value)) return E_FAIL;
                std::uint32_t attribute = 0;
                status =
                    store.NewNode(NODE_ATTRIBUTE, store.InternName(attribute_name), &attribute);
                if (Failed(status)) return status;
                store.SetText(attribute, value);
                DomNode element = Store::MakeNode(&store, *index);
                DomNamedNodeMap map;
                element.get_attributes(&map);
                map.setNamedItem(Store::MakeNode(&store, attribute), nullptr);
            }
            break;
        }
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            status = store.NewNode(NODE_TEXT, dom::kNone, index);
            if (Failed(status)) return status;
            store.SetText(*index, Utf8(source->content));
            break;
        case XML_COMMENT_NODE:
            status = store.NewNode(NODE_COMMENT, dom::kNone, index);
            if (Failed(status)) return status;
            store.SetText(*index, Utf8(source->content));
            break;
        case XML_PI_NODE:
            status = store.NewNode(NODE_PROCESSING_INSTRUCTION,
                                   store.InternName(Utf8(source->name)), index);
            if (Failed(status)) return status;
            store.SetText(*index, Utf8(source->content));
            break;
        case XML_DTD_NODE:
            return S_OK;  // the document type declaration is not carried
        case XML_ENTITY_REF_NODE:
        default:
            return E_FAIL;  // entities are never expanded
    }
    return store.Append(parent, *index);
}

// Copies the libxml2 tree into a new store, depth first without recursion.
HRESULT Carry(const xmlDoc* source, Store& store) {
    const xmlNode* node = source->children;
    std::uint32_t parent = 0;
    while (node != nullptr) {
        std::uint32_t index = dom::kNone;
        HRESULT status = CarryNode(store, node, parent, &index);
        if (Failed(status)) return status;
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

// Reads a file completely; false for anything that cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes) {
    std::unique_ptr<ReadableFile> file = SystemFileSystem().OpenForReading(path, nullptr);
    if (file == nullptr) return false;
    char buffer[65536];
    std::size_t got = 0;
    while (file->Read(buffer, sizeof buffer, &got, nullptr)) {
        if (got == 0) return true;
        bytes->append(buffer, got);
    }
    return false;
}

}  // namespace

HRESULT ParseXmlMemory(std::string_view bytes, DomDocument* document) {
    if (document == nullptr) return E_POINTER;
    document->Release();
    DomDocument result;
    HRESULT status = CreateDomDocument(&result);
    if (Failed(status)) return status;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return E_FAIL;
    // No entity substitution, no DTD loading, no network, no messages on the
    // console; whitespace text is kept.
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    PrepareLibxml();
    out_of_memory = false;
    std::unique_ptr<xmlDoc, DocDeleter> parsed(
        xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, options));
    if (out_of_memory) return E_OUTOFMEMORY;
    if (parsed == nullptr) return E_FAIL;
    status = Carry(parsed.get(), *Store::StoreOf(result));
    if (Failed(status)) return status;
    *document = std::move(result);
    return S_OK;
}

HRESULT ParseXmlFile(const std::string& path, DomDocument* document) {
    if (document == nullptr) return E_POINTER;
    document->Release();
    std::string bytes;
    if (!ReadWholeFile(path, &bytes)) return E_FAIL;
    return ParseXmlMemory(bytes, document);
}

}  // namespace dravonix
