#include "dom/child_walk.h"

#include <cstdint>

#include "dom/dom_store.h"

namespace dravonix {

namespace dom {

namespace {

/// The element names a walk accepts: one interned name, or any.
struct NameFilter {
    bool any = false;
    std::uint32_t name = kNone;  // kNone: a name the document has never seen

    bool Accepts(const NodeRecord& record) const {
        return record.type() == NODE_ELEMENT && (any || record.name() == name);
    }
};

/// The first node from index on, following the sibling links, that filter
/// accepts; kNone when there is none. The one walk of this file.
std::uint32_t Walk(Store& store, std::uint32_t index, const NameFilter& filter) {
    while (index != kNone && !filter.Accepts(store.at(index))) index = store.at(index).next;
    return index;
}

/// The first child of node that filter accepts; kNone when there is none.
std::uint32_t FirstChild(Store& store, std::uint32_t node, const NameFilter& filter) {
    const NodeRecord& record = store.at(node);
    if (record.type() != NODE_ELEMENT && record.type() != NODE_DOCUMENT) return kNone;
    return Walk(store, record.tree.first_child, filter);
}

/// The first sibling after node that filter accepts; kNone when there is none.
std::uint32_t NextSibling(Store& store, std::uint32_t node, const NameFilter& filter) {
    const NodeRecord& record = store.at(node);
    // Attributes are linked to the next attribute, not to siblings.
    if (record.type() == NODE_ATTRIBUTE) return kNone;
    return Walk(store, record.next, filter);
}

/// A handle to the node at index of store, or a null handle for kNone.
DomNode HandleOf(Store* store, std::uint32_t index) {
    return index == kNone ? DomNode() : Store::MakeNode(store, index);
}

}  // namespace

DomNode FirstChildElement(const DomNode& parent, std::string_view utf8_name) {
    Store* store = Store::StoreOf(parent);
    if (store == nullptr) return DomNode();
    const NameFilter filter{false, store->FindName(utf8_name)};
    if (filter.name == kNone) return DomNode();
    return HandleOf(store, FirstChild(*store, Store::IndexOf(parent), filter));
}

DomNode FirstChildElement(const DomNode& parent) {
    Store* store = Store::StoreOf(parent);
    if (store == nullptr) return DomNode();
    return HandleOf(store, FirstChild(*store, Store::IndexOf(parent), NameFilter{true}));
}

DomNode NextSiblingElement(const DomNode& node, std::string_view utf8_name) {
    Store* store = Store::StoreOf(node);
    if (store == nullptr) return DomNode();
    const NameFilter filter{false, store->FindName(utf8_name)};
    if (filter.name == kNone) return DomNode();
    return HandleOf(store, NextSibling(*store, Store::IndexOf(node), filter));
}

DomNode NextSiblingElement(const DomNode& node) {
    Store* store = Store::StoreOf(node);
    if (store == nullptr) return DomNode();
    return HandleOf(store, NextSibling(*store, Store::IndexOf(node), NameFilter{true}));
}

bool HasElementChild(const DomNode& node) {
    Store* store = Store::StoreOf(node);
    return store != nullptr && store->HasElementChild(Store::IndexOf(node));
}

}  // namespace dom

}  // namespace dravonix
