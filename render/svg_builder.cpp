#include "render/svg_builder.h"

#include "dom/dom_build.h"

namespace dravonix {

bool SvgBuilder::Check(HRESULT status) {
    if (Failed(status) && !Failed(status_)) status_ = status;
    return !Failed(status_);
}

DomNode SvgBuilder::Element(const DomNode& parent, std::string_view name,
                            std::initializer_list<SvgAttribute> attributes) {
    DomNode element;
    if (!Check(S_OK)) return element;
    if (!Check(dom::AppendNewElement(document_, parent, name, &element))) return DomNode();
    if (attributes.size() == 0) return element;
    DomNamedNodeMap map;
    if (!Check(element.get_attributes(&map))) return element;
    for (const SvgAttribute& attribute : attributes) {
        if (!Check(dom::AddNewTextAttribute(document_, map, attribute.first, attribute.second))) {
            break;
        }
    }
    return element;
}

void SvgBuilder::Attribute(const DomNode& element, std::string_view name, std::string_view value) {
    if (!Check(S_OK)) return;
    DomNamedNodeMap map;
    if (!Check(element.get_attributes(&map))) return;
    (void)Check(dom::AddNewTextAttribute(document_, map, name, value));
}

void SvgBuilder::Text(const DomNode& parent, std::string_view utf8) {
    if (!Check(S_OK)) return;
    (void)Check(dom::AppendNewText(document_, parent, utf8));
}

// Leaves and text elements, most of a picture, go into the document in one
// step where it can take them so; elsewhere, element by element.

void SvgBuilder::Leaf(const DomNode& parent, std::string_view name,
                      std::initializer_list<SvgAttribute> attributes) {
    if (!Check(S_OK)) return;
    if (dom::AppendTextLeaf(document_, parent, name, attributes, nullptr)) return;
    (void)Element(parent, name, attributes);
}

void SvgBuilder::TextElement(const DomNode& parent, std::string_view name, std::string_view utf8,
                             std::initializer_list<SvgAttribute> attributes) {
    if (!Check(S_OK)) return;
    if (dom::AppendTextLeaf(document_, parent, name, attributes, &utf8)) return;
    const DomNode element = Element(parent, name, attributes);
    Text(element, utf8);
}

}  // namespace dravonix
