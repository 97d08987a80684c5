// Parsing through libxml2's SAX2 interface straight into the node store: the
// parser hands over each element, text, comment and processing instruction
// as it reads it, and no tree of libxml2's own is built.
#include "dom/xml_parse.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "dom/dom_store.h"
#include "dom/libxml_error_scope.h"
#include "platform/unicode.h"

namespace dravonix {

namespace {

using dom::kNone;
using dom::Store;

std::string_view Utf8(const xmlChar* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

// What the error reports of one parse said. libxml2 may stop early when it
// is refused memory, or drop a node and go on, so such a parse must count as
// failed. The first error is kept to tell the user why the text is not
// well-formed.
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

// An attribute value as the parser hands it over when it had to rewrite it
// (it then ends in a NUL): "&#38;" stands for "&", and "&NAME;" for a
// reference to an entity the document declared. Appends the value to text;
// false when it refers to an entity, which this layer never expands.
bool DecodeRewrittenValue(std::string_view value, std::string* text) {
    std::size_t i = 0;
    while (i < value.size()) {
        const std::size_t amp = value.find('&', i);
        text->append(value.substr(i, amp - i));
        if (amp == std::string_view::npos) break;
        const std::size_t semicolon = value.find(';', amp);
        if (semicolon == std::string_view::npos) return false;
        const std::string_view name = value.substr(amp + 1, semicolon - amp - 1);
        i = semicolon + 1;
        if (name.size() >= 2 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            char32_t code = 0;
            for (const char c : name.substr(hex ? 2 : 1)) {
                const int digit = c >= '0' && c <= '9'   ? c - '0'
                                  : !hex                 ? -1
                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                         : -1;
                if (digit < 0 || code > 0x10FFFF) return false;
                code = code * (hex ? 16 : 10) + static_cast<char32_t>(digit);
            }
            if (code == 0 || code > 0x10FFFF) return false;
            AppendCodePointAsUtf8(code, *text);
            continue;
        }
        static constexpr std::array<std::pair<std::string_view, char>, 5> kPredefined = {
            {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}}};
        const auto* predefined =
            std::find_if(kPredefined.begin(), kPredefined.end(),
                         [&](const auto& entry) { return entry.first == name; });
        if (predefined == kPredefined.end()) return false;
        text->push_back(predefined->second);
    }
    return true;
}

// Builds the store from the parser's callbacks. A failure of its own (no
// memory, past the node limit, an entity) stops the parser; nothing it does
// lets an exception reach libxml2.
class TreeBuilder {
public:
    TreeBuilder(Store& store, xmlParserCtxt* context, bool keep_lines)
        : store_(store), context_(context), keep_lines_(keep_lines) {}

    /// The first failure: S_OK, E_FAIL (an entity) or E_OUTOFMEMORY.
    HRESULT status() const { return status_; }
    std::size_t failure_line() const { return failure_line_; }
    std::size_t doctype_line() const { return doctype_line_; }
    std::uint32_t doctype_position() const { return doctype_position_; }

    /// Adds the text still pending; called once the parse is over.
    void Finish() {
        Guard([&] { FlushText(); });
    }

    // The callbacks: each finds its builder through the parser context. The
    // parser also calls them for the content of an entity while it checks
    // it, with a context of its own, whose calls are ignored (a reference to
    // the entity fails the document anyway).
    static TreeBuilder* Of(void* context) {
        auto* parser = static_cast<xmlParserCtxt*>(context);
        auto* builder = static_cast<TreeBuilder*>(parser->_private);
        return builder != nullptr && builder->context_ == parser && Succeeded(builder->status_)
                   ? builder
                   : nullptr;
    }

    static void StartElement(void* context, const xmlChar* localname, const xmlChar* prefix,
                             const xmlChar* /*uri*/, int namespace_count,
                             const xmlChar** namespaces, int attribute_count, int defaulted_count,
                             const xmlChar** attributes) {
        TreeBuilder* builder = Of(context);
        if (builder == nullptr) return;
        // Attributes defaulted by the document's own declarations are not
        // part of the document as written.
        const int written = attribute_count - defaulted_count;
        builder->Guard([&] {
            builder->AddElement(localname, prefix, namespace_count, namespaces, written,
                                attributes);
        });
    }

    static void EndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
        TreeBuilder* builder = Of(context);
        if (builder == nullptr) return;
        builder->Guard([&] {
            builder->FlushText();
            builder->open_.pop_back();
        });
    }

    static void Characters(void* context, const xmlChar* text, int length) {
        TreeBuilder* builder = Of(context);
        if (builder != nullptr) builder->Guard([&] { builder->AddText(text, length, false); });
    }

    static void CData(void* context, const xmlChar* text, int length) {
        TreeBuilder* builder = Of(context);
        if (builder != nullptr) builder->Guard([&] { builder->AddText(text, length, true); });
    }

    static void Comment(void* context, const xmlChar* text) {
        TreeBuilder* builder = Of(context);
        // Comments inside the document type declaration belong to it.
        if (builder == nullptr || builder->context_->inSubset != 0) return;
        builder->Guard([&] { builder->AddMarkup(NODE_COMMENT, kNone, Utf8(text)); });
    }

    static void Instruction(void* context, const xmlChar* target, const xmlChar* data) {
        TreeBuilder* builder = Of(context);
        if (builder == nullptr || builder->context_->inSubset != 0) return;
        builder->Guard([&] {
            builder->AddMarkup(NODE_PROCESSING_INSTRUCTION, builder->Name(nullptr, target),
                               Utf8(data));
        });
    }

    static void Reference(void* context, const xmlChar* /*name*/) {
        TreeBuilder* builder = Of(context);
        if (builder != nullptr) builder->Fail(E_FAIL);
    }

    static void InternalSubset(void* context, const xmlChar* name, const xmlChar* external_id,
                               const xmlChar* system_id) {
        xmlSAX2InternalSubset(context, name, external_id, system_id);
        TreeBuilder* builder = Of(context);
        if (builder == nullptr) return;
        builder->doctype_line_ = builder->Line();
        builder->doctype_position_ = builder->store_.size();
    }

private:
    // Runs step, turning running out of memory into a failure of the parse.
    template <class Step>
    void Guard(Step step) {
        try {
            step();
        } catch (const std::bad_alloc&) {
            Fail(E_OUTOFMEMORY);
        }
    }

    // Keeps the first failure. Out of memory, the parse stops; after an
    // entity the parser reads on without the builder, so that a fault later
    // in the text is still the one reported, as for any text that is not
    // well-formed.
    void Fail(HRESULT status) {
        if (Succeeded(status_)) {
            status_ = status;
            failure_line_ = Line();
        }
        if (status == E_OUTOFMEMORY) xmlStopParser(context_);
    }

    // The line the parser is at: for an element, the end of its start tag.
    std::size_t Line() const {
        const int line = context_->input != nullptr ? context_->input->line : 0;
        return line > 0 ? static_cast<std::size_t>(line) : 1;
    }

    std::uint32_t Parent() const { return open_.empty() ? 0 : open_.back(); }

    // Makes a node and appends it below the innermost open element (or the
    // document); kNone when the store refused it, which fails the parse.
    std::uint32_t AddNode(DOMNodeType type, std::uint32_t name, std::size_t line) {
        std::uint32_t index = 0;
        HRESULT status = store_.NewNode(type, name, &index);
        if (Succeeded(status)) status = store_.Append(Parent(), index);
        if (Failed(status)) {
            Fail(status == E_OUTOFMEMORY ? E_OUTOFMEMORY : E_FAIL);
            return kNone;
        }
        if (keep_lines_) store_.NoteLine(index, line);
        return index;
    }

    // The id of "prefix:local", or of local alone; names the parser hands
    // over are interned in its dictionary, so most are found by address.
    std::uint32_t Name(const xmlChar* prefix, const xmlChar* local) {
        CachedName& cached = names_[(reinterpret_cast<std::uintptr_t>(local) ^
                                     (reinterpret_cast<std::uintptr_t>(prefix) << 1)) >>
                                        4 &
                                    (names_.size() - 1)];
        if (cached.local == local && cached.prefix == prefix && cached.id != kNone) {
            return cached.id;
        }
        std::string name;
        if (prefix != nullptr) name.append(Utf8(prefix)).push_back(':');
        name.append(Utf8(local));
        cached = {prefix, local, store_.InternName(name)};
        return cached.id;
    }

    void AddElement(const xmlChar* localname, const xmlChar* prefix, int namespace_count,
                    const xmlChar** namespaces, int attribute_count, const xmlChar** attributes) {
        FlushText();
        const std::uint32_t element = AddNode(NODE_ELEMENT, Name(prefix, localname), Line());
        if (element == kNone) return;
        // Namespace declarations first, as the attributes they were written
        // as (the "xml" prefix is predefined and never declared).
        for (int i = 0; i < namespace_count; ++i) {
            const xmlChar* declared = namespaces[2 * i];
            if (declared != nullptr && Utf8(declared) == "xml") continue;
            static const xmlChar kXmlns[] = "xmlns";
            const std::uint32_t name =
                declared == nullptr ? Name(nullptr, kXmlns) : Name(kXmlns, declared);
            if (!AddAttribute(element, name, Utf8(namespaces[2 * i + 1]))) return;
        }
        for (int i = 0; i < attribute_count; ++i) {
            const xmlChar** attribute = attributes + 5 * i;
            const char* value = reinterpret_cast<const char*>(attribute[3]);
            const char* end = reinterpret_cast<const char*>(attribute[4]);
            const std::uint32_t name = Name(attribute[1], attribute[0]);
            bool added = false;
            if (*end != '\0') {
                // The value as written in the document.
                added = AddAttribute(element, name, {value, static_cast<std::size_t>(end - value)});
            } else {
                // A value the parser rewrote, which ends in a NUL.
                std::string decoded;
                if (!DecodeRewrittenValue({value, static_cast<std::size_t>(end - value)},
                                          &decoded)) {
                    Fail(E_FAIL);
                    return;
                }
                added = AddAttribute(element, name, decoded);
            }
            if (!added) return;
        }
        open_.push_back(element);
    }

    bool AddAttribute(std::uint32_t element, std::uint32_t name, std::string_view value) {
        const HRESULT status = store_.AddAttribute(element, name, value);
        if (Succeeded(status)) return true;
        Fail(status);
        return false;
    }

    // Text is handed over in pieces; the pieces of one run of character
    // data, or of adjacent CDATA sections, make one node, whose line is that
    // of its first piece. Text outside the root element is left out.
    void AddText(const xmlChar* text, int length, bool cdata) {
        if (open_.empty()) return;
        if (pending_ && pending_cdata_ != cdata) FlushText();
        if (!pending_) {
            pending_ = true;
            pending_cdata_ = cdata;
            pending_line_ = Line();
            pending_text_.clear();
        }
        pending_text_.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    }

    void FlushText() {
        if (!pending_) return;
        pending_ = false;
        const std::uint32_t text = AddNode(NODE_TEXT, kNone, pending_line_);
        if (text != kNone) store_.SetText(text, pending_text_);
    }

    void AddMarkup(DOMNodeType type, std::uint32_t name, std::string_view text) {
        FlushText();
        const std::uint32_t node = AddNode(type, name, Line());
        if (node != kNone) store_.SetText(node, text);
    }

    Store& store_;
    xmlParserCtxt* context_;
    bool keep_lines_;
    HRESULT status_ = S_OK;
    std::size_t failure_line_ = 0;
    std::size_t doctype_line_ = 0;
    std::uint32_t doctype_position_ = 0;
    std::vector<std::uint32_t> open_;
    bool pending_ = false;
    bool pending_cdata_ = false;
    std::size_t pending_line_ = 0;
    std::string pending_text_;
    struct CachedName {
        const xmlChar* prefix = nullptr;
        const xmlChar* local = nullptr;
        std::uint32_t id = kNone;
    };
    std::array<CachedName, 256> names_{};
};

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const {
        if (context->myDoc != nullptr) xmlFreeDoc(context->myDoc);
        context->myDoc = nullptr;
        xmlFreeParserCtxt(context);
    }
};

// A parser context for a copy of bytes, with the reader's options and the
// builder's callbacks; null when libxml2 had no memory for it.
std::unique_ptr<xmlParserCtxt, ContextDeleter> NewContext(std::string_view bytes) {
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(xmlNewParserCtxt());
    if (context == nullptr) return context;
    xmlParserInputBuffer* input = xmlParserInputBufferCreateMem(
        bytes.data(), static_cast<int>(bytes.size()), XML_CHAR_ENCODING_NONE);
    if (input == nullptr) return nullptr;
    xmlParserInput* stream = xmlNewIOInputStream(context.get(), input, XML_CHAR_ENCODING_NONE);
    if (stream == nullptr) {
        xmlFreeParserInputBuffer(input);
        return nullptr;
    }
    if (inputPush(context.get(), stream) < 0) return nullptr;
    // No entity substitution, no DTD loading, no network, no messages on the
    // console; whitespace text is kept.
    (void)xmlCtxtUseOptions(context.get(),
                            XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    xmlSAXHandler& sax = *context->sax;
    sax.startElementNs = TreeBuilder::StartElement;
    sax.endElementNs = TreeBuilder::EndElement;
    sax.characters = TreeBuilder::Characters;
    sax.ignorableWhitespace = TreeBuilder::Characters;
    sax.cdataBlock = TreeBuilder::CData;
    sax.comment = TreeBuilder::Comment;
    sax.processingInstruction = TreeBuilder::Instruction;
    sax.reference = TreeBuilder::Reference;
    sax.internalSubset = TreeBuilder::InternalSubset;
    return context;
}

// Fills failure with why a parse failed.
void Describe(HRESULT status, const ParseReport& report, std::size_t builder_line,
              ParseFailure* failure) {
    if (status == E_OUTOFMEMORY) {
        failure->message = "out of memory";
        failure->out_of_memory = true;
        return;
    }
    if (builder_line != 0) {
        failure->line = builder_line;
        failure->message = "refers to an entity, which is never expanded";
        return;
    }
    failure->line = report.line > 0 ? static_cast<std::size_t>(report.line) : 0;
    failure->message = "not well-formed";
    if (report.message_length != 0) {
        failure->message.append(": ").append(report.message, report.message_length);
    }
}

}  // namespace

HRESULT ParseXmlText(std::string_view bytes, DomDocument* document, ParseDetails* details) {
    ParseDetails ignored;
    if (details == nullptr) details = &ignored;
    if (document == nullptr) return E_POINTER;
    document->Release();
    DomDocument result;
    HRESULT status = CreateDomDocument(&result);
    if (Failed(status)) return status;
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        details->failure.message = "too large to parse (2 GiB or more)";
        return E_FAIL;
    }
    if (bytes.empty()) {
        details->failure.message = "not well-formed";  // nothing to parse, so no parser's message
        return E_FAIL;
    }
    static const bool initialized = (xmlInitParser(), true);  // once, before the first parse
    (void)initialized;
    ParseReport report;
    Store& store = *Store::StoreOf(result);
    // The readers of a parsed document go everywhere in it: records at once.
    store.Materialize();
    HRESULT built = S_OK;
    std::size_t builder_line = 0;
    bool well_formed = false;
    {
        LibxmlErrorScope scope(&report, RecordError);
        std::unique_ptr<xmlParserCtxt, ContextDeleter> context = NewContext(bytes);
        if (context == nullptr) {
            report.out_of_memory = true;
        } else {
            TreeBuilder builder(store, context.get(), details->keep_lines);
            context->_private = &builder;
            (void)xmlParseDocument(context.get());
            well_formed = context->wellFormed != 0;
            builder.Finish();
            store.EndLines();
            built = builder.status();
            if (built == E_FAIL) builder_line = builder.failure_line();
            details->doctype_line = builder.doctype_line();
            details->doctype_position = builder.doctype_position();
        }
    }
    if (report.out_of_memory || built == E_OUTOFMEMORY) {
        Describe(E_OUTOFMEMORY, report, 0, &details->failure);
        return E_OUTOFMEMORY;
    }
    if (Failed(built) || !well_formed) {
        // A fault of the text outweighs an entity.
        if (!well_formed) builder_line = 0;
        Describe(E_FAIL, report, builder_line, &details->failure);
        return E_FAIL;
    }
    *document = std::move(result);
    return S_OK;
}

HRESULT ParseXmlMemory(std::string_view bytes, DomDocument* document, ParseFailure* failure) {
    if (document == nullptr) return E_POINTER;
    ParseDetails details;
    const HRESULT status = ParseXmlText(bytes, document, &details);
    if (failure != nullptr) *failure = std::move(details.failure);
    return status;
}

}  // namespace dravonix
