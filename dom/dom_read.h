// Fast paths for reading a document, used by the XML reader: names and text
// as UTF-8 views, attributes by name and in order, and where a parsed node
// stood in its source. Each reads the node records directly instead of going
// through variants and UTF-16 names. A view stays valid while the document
// lives and the node's text is not changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dom/dom.h"

namespace dravonix {

namespace dom {

/// The type of node; NODE_INVALID for a null handle.
DOMNodeType TypeOf(const DomNode& node);

/// The name of an element, attribute or processing instruction as written;
/// empty for other nodes and a null handle.
std::string_view NameOf(const DomNode& node);

/// The text of an attribute, text, comment or processing-instruction node;
/// empty for other nodes and a null handle.
std::string_view TextOf(const DomNode& node);

/// All text below node in document order (comments and processing
/// instructions excluded), as get_nodeTypedValue gives it, in UTF-8.
std::string TextBelow(const DomNode& node);

/// The first text node below top in document order after after (a null
/// after: the first of all); a null handle when there is none.
DomNode NextTextBelow(const DomNode& top, const DomNode& after);

/// The text of the attribute of element named exactly utf8_name into *text;
/// false when element has no such attribute (or is no element).
bool FindAttributeText(const DomNode& element, std::string_view utf8_name, std::string_view* text);

/// The attribute of element named exactly utf8_name; a null handle when none.
DomNode FindAttribute(const DomNode& element, std::string_view utf8_name);

/// The first attribute of element, and the one after attribute, in order;
/// a null handle at the end and for nodes without attributes.
DomNode FirstAttribute(const DomNode& element);
DomNode NextAttribute(const DomNode& attribute);

/// The 1-based line of the source at which the parser found node (an
/// element: the end of its start tag; an attribute: its element's line); 0
/// when the document was parsed without keeping lines, for a node made after
/// the parse and for a null handle.
std::size_t SourceLine(const DomNode& node);

/// A number that orders the nodes of a parsed document as they stand in its
/// source (the document node first, an element before its attributes, its
/// attributes before its children).
std::uint32_t SourceOrder(const DomNode& node);

}  // namespace dom

}  // namespace dravonix
