// Parsing XML text into a DOM document through libxml2. Every text node is
// kept (whitespace included); no entity is ever expanded and no DTD, file or
// network resource named by a document is ever loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dom/dom.h"

namespace dravonix {

/// Why a parse failed, in words for the user.
struct ParseFailure {
    std::size_t line = 0;  // 1-based line of the fault; 0 when no line applies
    std::string message;   // such as "not well-formed: Extra content at the end of the document"
    bool out_of_memory = false;  // the message is "out of memory"
};

/// What a parse is asked to keep beside the tree, and what it found that the
/// tree does not hold.
struct ParseDetails {
    /// In: keep the source line of every node (DomNode::SourceLine).
    bool keep_lines = false;
    /// Out: the line of a document type declaration, which the tree does not
    /// keep; 0 when the document has none.
    std::size_t doctype_line = 0;
    /// Out: how many nodes the document held when the declaration came.
    std::uint32_t doctype_position = 0;
    /// Out: why the parse failed.
    ParseFailure failure;
};

/// Parses a complete XML document held in memory straight into a new
/// document. Fails (E_FAIL) when the text is not well-formed XML or refers to
/// an entity other than the predefined ones and character references, which
/// this layer never expands, and with E_OUTOFMEMORY when memory ran out;
/// document is then left null. Needs the COM runtime like CreateDomDocument.
/// details (may be null) says what to keep, and on failure why it failed.
[[nodiscard]] HRESULT ParseXmlText(std::string_view bytes, DomDocument* document,
                                   ParseDetails* details);

/// ParseXmlText without details beyond why it failed (*failure, may be null).
[[nodiscard]] HRESULT ParseXmlMemory(std::string_view bytes, DomDocument* document,
                                     ParseFailure* failure = nullptr);

}  // namespace dravonix
