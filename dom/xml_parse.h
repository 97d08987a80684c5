// Parsing XML text into a DOM document through libxml2. Every text node is
// kept (whitespace included); no entity is ever expanded and no DTD, file or
// network resource named by a document is ever loaded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "dom/dom.h"

namespace dravonix {

/// Why a parse failed, in words for the user.
struct ParseFailure {
    std::size_t line = 0;     // 1-based line of the fault; 0 when no line applies
    std::string message;      // such as "not well-formed: Extra content at the end of the document"
    bool unreadable = false;  // the file could not be read: message is "PATH: REASON"
};

/// Parses a complete XML document held in memory. Fails (E_FAIL) when the text
/// is not well-formed XML or refers to an entity other than the predefined
/// ones and character references, which this layer never expands, and with
/// E_OUTOFMEMORY when the parser ran out of memory; document is then left
/// null. Needs the COM runtime like CreateDomDocument. On failure, *failure
/// (when not null) says why.
[[nodiscard]] HRESULT ParseXmlMemory(std::string_view bytes, DomDocument* document,
                                     ParseFailure* failure = nullptr);

/// Reads the file at path and parses it as ParseXmlMemory does. A file that
/// cannot be read is E_FAIL.
[[nodiscard]] HRESULT ParseXmlFile(const std::string& path, DomDocument* document,
                                   ParseFailure* failure = nullptr);

}  // namespace dravonix
