// The walk over the element children of a node, by name: every lookup of a
// child element (the first of a name, each one of a name, the root element of
// a document, whether a node has element children) goes through it.
#pragma once

#include <string_view>

#include "dom/dom.h"

namespace dravonix {

namespace dom {

/// The first child of parent that is an element named exactly utf8_name.
/// A null handle when there is none, and for a null parent or one that cannot
/// have children (text, attributes, comments).
DomNode FirstChildElement(const DomNode& parent, std::string_view utf8_name);
/// The first child of parent that is an element, whatever its name.
DomNode FirstChildElement(const DomNode& parent);

/// The first sibling after node that is an element named exactly utf8_name;
/// a null handle when there is none, for a null node and for an attribute.
DomNode NextSiblingElement(const DomNode& node, std::string_view utf8_name);
/// The first sibling after node that is an element, whatever its name.
DomNode NextSiblingElement(const DomNode& node);

/// True when node has an element among its children (false for a null node).
bool HasElementChild(const DomNode& node);

}  // namespace dom

}  // namespace dravonix
