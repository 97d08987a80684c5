// Parsing XML text into a DOM document through libxml2. Every text node is
// kept (whitespace included); no entity is ever expanded and no DTD, file or
// network resource named by a document is ever loaded.
#pragma once

#include <string>
#include <string_view>

#include "dom/dom.h"

namespace dravonix {

/// Parses a complete XML document held in memory. Fails (E_FAIL) when the text
/// is not well-formed XML or refers to an entity other than the predefined
/// ones and character references, which this layer never expands, and with
/// E_OUTOFMEMORY when the parser ran out of memory; document is then left
/// null. Needs the COM runtime like CreateDomDocument.
[[nodiscard]] HRESULT ParseXmlMemory(std::string_view bytes, DomDocument* document);

/// Reads the file at path and parses it as ParseXmlMemory does. A file that
/// cannot be read is E_FAIL.
[[nodiscard]] HRESULT ParseXmlFile(const std::string& path, DomDocument* document);

}  // namespace dravonix
