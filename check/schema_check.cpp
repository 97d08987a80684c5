#include "check/schema_check.h"

#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include <new>
#include <string>

#include "check/keyboard_schema.h"
#include "check/xml_lines.h"

namespace dravonix {

namespace {

// The message of a libxml2 error without its line end.
std::string MessageOf(const xmlError* error) {
    std::string message = error->message != nullptr ? error->message : "unknown error";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

void IgnoreError(void*, xmlErrorPtr) {}

// Compiles the built-in schema; null when it does not compile.
xmlSchema* CompileSchema() {
    const std::string_view text = KeyboardSchemaText();
    xmlSchemaParserCtxt* context =
        xmlSchemaNewMemParserCtxt(text.data(), static_cast<int>(text.size()));
    if (context == nullptr) return nullptr;
    xmlSchemaSetParserStructuredErrors(context, IgnoreError, nullptr);
    xmlSchema* schema = xmlSchemaParse(context);
    xmlSchemaFreeParserCtxt(context);
    return schema;
}

// What the validator said of one document.
struct Validation {
    CheckReport* report;
    bool out_of_memory = false;
};

void RecordError(void* data, xmlErrorPtr error) {
    auto* validation = static_cast<Validation*>(data);
    if (error->code == XML_ERR_NO_MEMORY || error->domain == XML_FROM_MEMORY) {
        validation->out_of_memory = true;
        return;
    }
    // The node the validator names has the line kept at parsing, which
    // libxml2's own field cannot hold past 65535.
    const std::size_t fallback = error->line > 0 ? static_cast<std::size_t>(error->line) : 1;
    const std::size_t line = SourceLine(static_cast<const xmlNode*>(error->node), fallback);
    // This runs inside libxml2, where nothing may throw: a finding that finds
    // no memory ends the validation's report as out of memory.
    try {
        validation->report->Add(line, "schema", MessageOf(error));
    } catch (const std::bad_alloc&) {
        validation->out_of_memory = true;
    }
}

}  // namespace

bool ValidateKeyboardSchema(xmlDoc* doc, CheckReport& report) {
    // Compiled once and kept for the life of the program; validation only
    // reads it.
    static xmlSchema* const schema = CompileSchema();
    xmlSchemaValidCtxt* context = schema != nullptr ? xmlSchemaNewValidCtxt(schema) : nullptr;
    if (context == nullptr) {
        report.Add(1, "schema", "the file could not be validated: the schema is not available");
        return false;
    }
    Validation validation{&report};
    xmlSchemaSetValidStructuredErrors(context, RecordError, &validation);
    const int result = xmlSchemaValidateDoc(context, doc);
    xmlSchemaFreeValidCtxt(context);
    if (validation.out_of_memory || result < 0) {
        report.Add(1, "schema",
                   validation.out_of_memory ? "the file could not be validated: out of memory"
                                            : "the file could not be validated");
        return false;
    }
    return true;
}

}  // namespace dravonix
