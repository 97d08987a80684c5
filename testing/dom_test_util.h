// Test helpers for the DOM: a readable dump of a tree.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "dom/dom.h"
#include "dom/dom_store.h"
#include "platform/codepage.h"
#include "platform/unicode.h"

namespace dravonix {

/// One line per node, indented by depth: element names with their attributes
/// in order, text as quoted UTF-8.
inline std::string DumpTree(const DomNode& node, int depth = 0) {
    std::string out(static_cast<std::size_t>(depth) * 2, ' ');
    DOMNodeType type = NODE_INVALID;
    EXPECT_EQ(node.get_nodeType(&type), S_OK);
    std::u16string name;
    EXPECT_EQ(node.get_nodeName(&name), S_OK);
    AppendUtf16AsUtf8(name, out);
    if (type == NODE_ELEMENT) {
        // The attributes in order, as the node store links them.
        dom::Store* store = dom::Store::StoreOf(node);
        for (std::uint32_t a = store->at(dom::Store::IndexOf(node)).tree.first_attribute;
             a != dom::kNone; a = store->at(a).next) {
            const DomNode attribute = dom::Store::MakeNode(store, a);
            std::u16string attribute_name;
            EXPECT_EQ(attribute.get_nodeName(&attribute_name), S_OK);
            Variant value;
            EXPECT_EQ(attribute.get_nodeTypedValue(&value), S_OK);
            out += " ";
            AppendUtf16AsUtf8(attribute_name, out);
            out += "=[";
            AppendUtf16AsUtf8(value.bstrVal, out);
            out += "]";
        }
    } else if (type != NODE_DOCUMENT) {
        Variant value;
        EXPECT_EQ(node.get_nodeTypedValue(&value), S_OK);
        out += " [";
        AppendUtf16AsUtf8(value.bstrVal, out);
        out += "]";
    }
    out += "\n";
    DomNode child;
    EXPECT_TRUE(Succeeded(node.get_firstChild(&child)));
    while (child) {
        out += DumpTree(child, depth + 1);
        DomNode next;
        EXPECT_TRUE(Succeeded(child.get_nextSibling(&next)));
        child = next;
    }
    return out;
}

}  // namespace dravonix
