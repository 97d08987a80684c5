#include "dom/dom_read.h"

#include "dom/dom_store.h"

namespace dravonix {

namespace dom {

namespace {

bool HasName(DOMNodeType type) {
    return type == NODE_ELEMENT || type == NODE_ATTRIBUTE || type == NODE_PROCESSING_INSTRUCTION;
}

bool HasText(DOMNodeType type) {
    return type == NODE_ATTRIBUTE || type == NODE_TEXT || type == NODE_COMMENT ||
           type == NODE_PROCESSING_INSTRUCTION;
}

// The attribute of the element at index named name (an interned id); kNone
// when there is none.
std::uint32_t AttributeIndex(Store& store, std::uint32_t index, std::string_view utf8_name) {
    const NodeRecord& node = store.at(index);
    if (node.type() != NODE_ELEMENT) return kNone;
    const std::uint32_t name = store.FindName(utf8_name);
    if (name == kNone) return kNone;
    std::uint32_t a = node.tree.first_attribute;
    while (a != kNone && store.at(a).name() != name) a = store.at(a).next;
    return a;
}

DomNode HandleOf(Store* store, std::uint32_t index) {
    return index == kNone ? DomNode() : Store::MakeNode(store, index);
}

}  // namespace

DOMNodeType TypeOf(const DomNode& node) {
    Store* store = Store::StoreOf(node);
    return store == nullptr ? NODE_INVALID : store->TypeOf(Store::IndexOf(node));
}

std::string_view NameOf(const DomNode& node) {
    Store* store = Store::StoreOf(node);
    if (store == nullptr) return {};
    const NodeRecord& record = store->at(Store::IndexOf(node));
    return HasName(record.type()) ? std::string_view(store->NameOf(record.name()))
                                  : std::string_view();
}

std::string_view TextOf(const DomNode& node) {
    Store* store = Store::StoreOf(node);
    if (store == nullptr) return {};
    const std::uint32_t index = Store::IndexOf(node);
    return HasText(store->at(index).type()) ? store->TextOf(index) : std::string_view();
}

std::string TextBelow(const DomNode& node) {
    Store* store = Store::StoreOf(node);
    if (store == nullptr) return {};
    const std::uint32_t index = Store::IndexOf(node);
    const DOMNodeType type = store->at(index).type();
    if (type == NODE_ELEMENT || type == NODE_DOCUMENT) return store->TextBelow(index);
    return std::string(store->TextOf(index));
}

DomNode NextTextBelow(const DomNode& top, const DomNode& after) {
    Store* store = Store::StoreOf(top);
    if (store == nullptr) return DomNode();
    const std::uint32_t root = Store::IndexOf(top);
    const DOMNodeType root_type = store->at(root).type();
    if (root_type != NODE_ELEMENT && root_type != NODE_DOCUMENT) return DomNode();
    std::uint32_t n = after ? Store::IndexOf(after) : root;
    while (true) {
        // Depth first: the first child, else the next sibling of the nearest
        // node that has one, without leaving top.
        const NodeRecord& node = store->at(n);
        const bool has_children = node.type() == NODE_ELEMENT || node.type() == NODE_DOCUMENT;
        if (has_children && node.tree.first_child != kNone) {
            n = node.tree.first_child;
        } else {
            while (n != root && store->at(n).next == kNone) n = store->at(n).parent;
            if (n == root) return DomNode();
            n = store->at(n).next;
        }
        if (store->at(n).type() == NODE_TEXT) return Store::MakeNode(store, n);
    }
}

bool FindAttributeText(const DomNode& element, std::string_view utf8_name, std::string_view* text) {
    Store* store = Store::StoreOf(element);
    if (store == nullptr) return false;
    const std::uint32_t a = AttributeIndex(*store, Store::IndexOf(element), utf8_name);
    if (a == kNone) return false;
    *text = store->TextOf(a);
    return true;
}

DomNode FindAttribute(const DomNode& element, std::string_view utf8_name) {
    Store* store = Store::StoreOf(element);
    if (store == nullptr) return DomNode();
    return HandleOf(store, AttributeIndex(*store, Store::IndexOf(element), utf8_name));
}

DomNode FirstAttribute(const DomNode& element) {
    Store* store = Store::StoreOf(element);
    if (store == nullptr) return DomNode();
    const NodeRecord& node = store->at(Store::IndexOf(element));
    return node.type() == NODE_ELEMENT ? HandleOf(store, node.tree.first_attribute) : DomNode();
}

DomNode NextAttribute(const DomNode& attribute) {
    Store* store = Store::StoreOf(attribute);
    if (store == nullptr) return DomNode();
    const NodeRecord& node = store->at(Store::IndexOf(attribute));
    return node.type() == NODE_ATTRIBUTE ? HandleOf(store, node.next) : DomNode();
}

std::size_t SourceLine(const DomNode& node) {
    Store* store = Store::StoreOf(node);
    return store == nullptr ? 0 : store->LineOf(Store::IndexOf(node));
}

std::uint32_t SourceOrder(const DomNode& node) { return Store::IndexOf(node); }

}  // namespace dom

}  // namespace dravonix
