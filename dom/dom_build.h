// Fast paths for building a document, used by the XML writer. Each one does
// what the sequence of DOM calls it names does, with the same statuses and
// the same resulting tree (nodes a failed step leaves unattached included),
// but works on the node records directly instead of going through a handle,
// a variant and a name conversion for every step. New nodes are created by
// `document`, the document of the node `creator` (a null creator stands for
// a null document, whose CreateNode fails with E_UNEXPECTED).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>

#include "dom/dom.h"
#include "platform/status.h"
#include "platform/variant.h"

namespace dravonix {

namespace dom {

/// document.CreateNode(NODE_TEXT), PutText(utf8) on it, then
/// parent.appendChild(text): the status of the first step that fails.
[[nodiscard]] HRESULT AppendNewText(const DomNode& creator, const DomNode& parent,
                                    std::string_view utf8);

/// document.CreateNode(NODE_ELEMENT, utf8_name), then
/// parent.appendChild(element, appended): the status of the first step that
/// fails. appended (may be null) is set only on success.
[[nodiscard]] HRESULT AppendNewElement(const DomNode& creator, const DomNode& parent,
                                       std::string_view utf8_name, DomNode* appended);

/// document.CreateNode(NODE_ATTRIBUTE, utf8_name), put_nodeTypedValue(value)
/// on it, then map.setNamedItem(attribute): the status of CreateNode (the
/// other two steps report nothing; a null map leaves the attribute unattached).
[[nodiscard]] HRESULT AddNewAttribute(const DomNode& creator, const DomNamedNodeMap& map,
                                      std::string_view utf8_name, const Variant& value);

/// AddNewAttribute of an integer, without a variant.
[[nodiscard]] HRESULT AddNewIntAttribute(const DomNode& creator, const DomNamedNodeMap& map,
                                         std::string_view utf8_name, std::int32_t value);

/// An integer attribute of AppendLeaf: its UTF-8 name and its value.
struct IntAttribute {
    std::string_view utf8_name;
    std::int32_t value;
};

/// AppendNewText(parent, parent, indentation), AppendNewElement(parent,
/// parent, utf8_name) and AddNewIntAttribute on the new element for each of
/// attributes, when the document of parent can make them all in one step:
/// true then (every step succeeds). False, with nothing done, when the steps
/// must be taken one by one (to get their statuses).
[[nodiscard]] bool AppendLeaf(const DomNode& parent, std::string_view indentation,
                              std::string_view utf8_name,
                              std::initializer_list<IntAttribute> attributes);

/// AddNewAttribute of a text given in UTF-8: CreateNode, PutText(utf8_value)
/// and setNamedItem, with the same statuses, without a UTF-16 variant.
[[nodiscard]] HRESULT AddNewTextAttribute(const DomNode& creator, const DomNamedNodeMap& map,
                                          std::string_view utf8_name, std::string_view utf8_value);

/// A text attribute of AppendTextLeaf: its UTF-8 name and value.
using TextAttribute = std::pair<std::string_view, std::string_view>;

/// AppendNewElement(creator, parent, utf8_name), AddNewTextAttribute on the
/// new element for each of attributes, and AppendNewText(creator, element,
/// *utf8_text) when utf8_text is not null, when the document of parent can
/// make them all in one step: true then (every step succeeds). False, with
/// nothing done, when the steps must be taken one by one.
[[nodiscard]] bool AppendTextLeaf(const DomNode& creator, const DomNode& parent,
                                  std::string_view utf8_name,
                                  std::span<const TextAttribute> attributes,
                                  const std::string_view* utf8_text);

}  // namespace dom

}  // namespace dravonix
