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
    for (const SvgAttribute& attribute : attributes) {
        Attribute(element, attribute.first, attribute.second);
    }
    return element;
}

void SvgBuilder::Attribute(const DomNode& element, std::string_view name, std::string_view value) {
    if (!Check(S_OK)) return;
    DomNamedNodeMap map;
    if (!Check(element.get_attributes(&map))) return;
    DomNode attribute;
    if (!Check(document_.CreateNode(NODE_ATTRIBUTE, name, &attribute))) return;
    if (!Check(attribute.PutText(value))) return;
    (void)Check(map.setNamedItem(attribute, nullptr));
}

void SvgBuilder::Text(const DomNode& parent, std::string_view utf8) {
    if (!Check(S_OK)) return;
    (void)Check(dom::AppendNewText(document_, parent, utf8));
}

DomNode SvgBuilder::TextElement(const DomNode& parent, std::string_view name, std::string_view utf8,
                                std::initializer_list<SvgAttribute> attributes) {
    DomNode element = Element(parent, name, attributes);
    Text(element, utf8);
    return element;
}

}  // namespace dravonix
