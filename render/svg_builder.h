// Writing SVG elements into a DOM document: one element with its attributes
// in a call, and the first failure kept, so that building code reads as a
// list of elements and checks the outcome once.
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>

#include "dom/dom.h"
#include "platform/status.h"

namespace dravonix {

/// One attribute: name and UTF-8 value.
using SvgAttribute = std::pair<std::string_view, std::string_view>;

/// Builds elements into one document. After the first failure every call does
/// nothing and hands back null elements; status() tells that failure.
class SvgBuilder {
public:
    /// Starts building into document (which must be a created, empty document).
    explicit SvgBuilder(DomDocument document) : document_(std::move(document)) {}

    /// Appends a new element named name with attributes, in order, to parent
    /// (the document itself for the root) and hands it back.
    DomNode Element(const DomNode& parent, std::string_view name,
                    std::initializer_list<SvgAttribute> attributes = {});

    /// Adds one attribute to element.
    void Attribute(const DomNode& element, std::string_view name, std::string_view value);

    /// Appends text to parent.
    void Text(const DomNode& parent, std::string_view utf8);

    /// Appends an element with attributes and nothing in it (a shape).
    void Leaf(const DomNode& parent, std::string_view name,
              std::initializer_list<SvgAttribute> attributes);

    /// Appends an element with text content, e.g. <title>...</title>.
    void TextElement(const DomNode& parent, std::string_view name, std::string_view utf8,
                     std::initializer_list<SvgAttribute> attributes = {});

    const DomDocument& document() const { return document_; }
    HRESULT status() const { return status_; }

private:
    /// Keeps status when it is the first failure; true when still building.
    bool Check(HRESULT status);

    DomDocument document_;
    HRESULT status_ = S_OK;
};

}  // namespace dravonix
