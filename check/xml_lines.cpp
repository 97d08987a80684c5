#include "check/xml_lines.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstddef>
#include <new>

#include "dom/libxml_error_scope.h"

namespace dravonix {

namespace {

// The last line libxml2 keeps in a node's own field; later lines are kept in
// the node's psvi pointer, as libxml2 itself does for text nodes.
constexpr unsigned kLineFieldLimit = USHRT_MAX;

// Gives node the line the parser is at.
void KeepLine(xmlParserCtxt* context, xmlNode* node) {
    if (node == nullptr || context->input == nullptr || context->input->line <= 0) return;
    const unsigned line = static_cast<unsigned>(context->input->line);
    if (line < kLineFieldLimit) {
        node->line = static_cast<unsigned short>(line);
    } else {
        node->line = static_cast<unsigned short>(kLineFieldLimit);
        node->psvi = reinterpret_cast<void*>(static_cast<std::ptrdiff_t>(line));
    }
}

// The node the parser appended last in the document's tree; null inside the
// document type declaration.
xmlNode* LastAppended(xmlParserCtxt* context) {
    if (context->inSubset != 0) return nullptr;
    if (context->node != nullptr) return context->node->last;
    return context->myDoc != nullptr ? context->myDoc->last : nullptr;
}

void StartElement(void* ctx, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                  int nb_namespaces, const xmlChar** namespaces, int nb_attributes,
                  int nb_defaulted, const xmlChar** attributes) {
    xmlSAX2StartElementNs(ctx, localname, prefix, uri, nb_namespaces, namespaces, nb_attributes,
                          nb_defaulted, attributes);
    auto* context = static_cast<xmlParserCtxt*>(ctx);
    KeepLine(context, context->node);
}

void Comment(void* ctx, const xmlChar* value) {
    xmlSAX2Comment(ctx, value);
    auto* context = static_cast<xmlParserCtxt*>(ctx);
    KeepLine(context, LastAppended(context));
}

void Instruction(void* ctx, const xmlChar* target, const xmlChar* data) {
    xmlSAX2ProcessingInstruction(ctx, target, data);
    auto* context = static_cast<xmlParserCtxt*>(ctx);
    KeepLine(context, LastAppended(context));
}

void RecordError(void* data, xmlErrorPtr error) {
    auto* parsed = static_cast<ParsedXml*>(data);
    if (error->code == XML_ERR_NO_MEMORY || error->domain == XML_FROM_MEMORY) {
        parsed->out_of_memory = true;
    }
    if (!parsed->error.empty() || error->level < XML_ERR_ERROR) return;
    parsed->error_line = error->line > 0 ? static_cast<std::size_t>(error->line) : 0;
    // This runs inside libxml2, where nothing may throw.
    try {
        parsed->error = error->message != nullptr ? error->message : "unknown error";
    } catch (const std::bad_alloc&) {
        parsed->out_of_memory = true;
        return;
    }
    while (!parsed->error.empty() &&
           (parsed->error.back() == '\n' || parsed->error.back() == ' ')) {
        parsed->error.pop_back();
    }
}

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

}  // namespace

void XmlDocDeleter::operator()(_xmlDoc* doc) const { xmlFreeDoc(doc); }

ParsedXml ParseWithLines(std::string_view bytes) {
    ParsedXml parsed;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        parsed.error = "too large to parse";
        return parsed;
    }
    static const bool initialized = (xmlInitParser(), true);  // once, before the first parse
    (void)initialized;
    LibxmlErrorScope scope(&parsed, RecordError);
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (context == nullptr) {
        parsed.out_of_memory = true;
        return parsed;
    }
    context->sax->startElementNs = StartElement;
    context->sax->comment = Comment;
    context->sax->processingInstruction = Instruction;
    // No entity substitution, no DTD loading, no network; line numbers past
    // 65535 for text nodes too.
    const int options =
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;
    parsed.doc.reset(xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, nullptr, options));
    if (parsed.out_of_memory) parsed.doc.reset();
    if (parsed.doc == nullptr && parsed.error.empty()) parsed.error = "no document";
    return parsed;
}

std::size_t SourceLine(const _xmlNode* node, std::size_t fallback) {
    if (node == nullptr) return fallback;
    if (node->type == XML_ATTRIBUTE_NODE) node = node->parent;
    if (node == nullptr) return fallback;
    if (node->line == kLineFieldLimit && node->psvi != nullptr &&
        (node->type == XML_ELEMENT_NODE || node->type == XML_COMMENT_NODE ||
         node->type == XML_PI_NODE || node->type == XML_TEXT_NODE)) {
        return static_cast<std::size_t>(reinterpret_cast<std::ptrdiff_t>(node->psvi));
    }
    if (node->line == 0 || node->line == kLineFieldLimit) {
        const long line = xmlGetLineNo(node);
        return line > 0 ? static_cast<std::size_t>(line) : fallback;
    }
    return node->line;
}

}  // namespace dravonix
