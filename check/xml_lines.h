// Parsing XML for the check: the reader's safe options, and the source line
// of every element, comment and processing instruction, past line 65535
// too, for the findings of the check and of the schema's validator.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// libxml2's document and node (xmlDoc, xmlNode), declared here so that the
// header does not need libxml2's headers.
struct _xmlDoc;
struct _xmlNode;

namespace dravonix {

/// Frees a libxml2 document.
struct XmlDocDeleter {
    void operator()(_xmlDoc* doc) const;
};

/// The outcome of ParseWithLines.
struct ParsedXml {
    std::unique_ptr<_xmlDoc, XmlDocDeleter> doc;  // null when the parse failed
    bool out_of_memory = false;
    std::string error;           // the parser's first error, when doc is null
    std::size_t error_line = 0;  // its line; 0 when not known
};

/// Parses bytes as the keyboard reader does (no entity substitution, no DTD
/// loading, no network access, no message on the console), keeping source
/// lines that SourceLine gives back.
ParsedXml ParseWithLines(std::string_view bytes);

/// The 1-based line at which node (an element, comment, processing
/// instruction or text node of a document from ParseWithLines; for an
/// attribute, its element) ends its start tag or text; fallback when the
/// parser kept none.
std::size_t SourceLine(const _xmlNode* node, std::size_t fallback);

}  // namespace dravonix
