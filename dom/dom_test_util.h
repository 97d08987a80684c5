// Test helpers for the DOM: a readable dump of a tree.
#pragma once

#include <string>

#include "dom/dom.h"
#include "platform/codepage.h"
#include "platform/unicode.h"

namespace dravonix {

/// One line per node, indented by depth: element names with their attributes
/// in order, text as quoted UTF-8.
inline std::string DumpTree(const DomNode& node, int depth = 0) {
    std::string out(static_cast<std::size_t>(depth) * 2, ' ');
    DOMNodeType type = NODE_INVALID;
    node.get_nodeType(&type);
    std::u16string name;
    node.get_nodeName(&name);
    AppendUtf16AsUtf8(name, out);
    if (type == NODE_ELEMENT) {
        DomNamedNodeMap map;
        node.get_attributes(&map);
        long length = 0;
        map.get_length(&length);
        for (long i = 0; i < length; ++i) {
            DomNode attribute;
            map.get_item(i, &attribute);
            std::u16string attribute_name;
            attribute.get_nodeName(&attribute_name);
            Variant value;
            attribute.get_nodeTypedValue(&value);
            out += " ";
            AppendUtf16AsUtf8(attribute_name, out);
            out += "=[";
            AppendUtf16AsUtf8(value.bstrVal, out);
            out += "]";
        }
    } else if (type != NODE_DOCUMENT) {
        Variant value;
        node.get_nodeTypedValue(&value);
        out += " [";
        AppendUtf16AsUtf8(value.bstrVal, out);
        out += "]";
    }
    out += "\n";
    DomNode child;
    node.get_firstChild(&child);
    while (child) {
        out += DumpTree(child, depth + 1);
        DomNode next;
        child.get_nextSibling(&next);
        child = next;
    }
    return out;
}

}  // namespace dravonix
