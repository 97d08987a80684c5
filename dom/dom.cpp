// The DOM handles: DomNode, DomDocument and DomNamedNodeMap over the node
// store, and the typed values they read and write.
#include "dom/dom.h"

#include "dom/dom_store.h"
#include "platform/com.h"
#include "platform/unicode.h"

namespace dravonix {

using dom::kNone;
using dom::Store;

// ---- DomNode ----------------------------------------------------------------

DomNode::DomNode(Store* store, std::uint32_t index) : store_(store), index_(index) {
    if (store_ != nullptr) ++store_->references;
}

DomNode::DomNode(const DomNode& other) : DomNode(other.store_, other.index_) {}

DomNode& DomNode::operator=(const DomNode& other) {
    if (this != &other) {
        DomNode copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void DomNode::Drop() {
    if (--store_->references == 0) delete store_;
    store_ = nullptr;
    index_ = 0;
}

std::uint32_t DomNode::DocumentReferences() const {
    return store_ == nullptr ? 0 : store_->references;
}

bool DomNode::operator==(const DomNode& other) const {
    return store_ == other.store_ && index_ == other.index_;
}

HRESULT DomNode::get_nodeType(DOMNodeType* type) const {
    if (type == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    *type = store_->TypeOf(index_);
    return S_OK;
}

HRESULT DomNode::get_nodeName(std::u16string* name) const {
    if (name == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    const dom::NodeRecord& node = store_->at(index_);
    switch (node.type()) {
        case NODE_TEXT:
            *name = u"#text";
            break;
        case NODE_COMMENT:
            *name = u"#comment";
            break;
        case NODE_DOCUMENT:
            *name = u"#document";
            break;
        default:
            *name = Utf8ToUtf16(store_->NameOf(node.name()));
            break;
    }
    return S_OK;
}

HRESULT DomNode::get_firstChild(DomNode* child) const {
    if (child == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    const dom::NodeRecord& node = store_->at(index_);
    bool has_children = node.type() == NODE_ELEMENT || node.type() == NODE_DOCUMENT;
    std::uint32_t first = has_children ? node.tree.first_child : kNone;
    if (first == kNone) {
        child->Release();
        return S_FALSE;
    }
    *child = DomNode(store_, first);
    return S_OK;
}

HRESULT DomNode::get_nextSibling(DomNode* sibling) const {
    if (sibling == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    const dom::NodeRecord& node = store_->at(index_);
    // Attributes are not siblings of anything in the child walk.
    std::uint32_t next = node.type() == NODE_ATTRIBUTE ? kNone : node.next;
    if (next == kNone) {
        sibling->Release();
        return S_FALSE;
    }
    *sibling = DomNode(store_, next);
    return S_OK;
}

HRESULT DomNode::get_attributes(DomNamedNodeMap* map) const {
    if (map == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    if (store_->TypeOf(index_) != NODE_ELEMENT) {
        map->element_.Release();
        return S_FALSE;
    }
    map->element_ = *this;
    return S_OK;
}

HRESULT DomNode::get_ownerDocument(DomDocument* document) const {
    if (document == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    if (index_ == 0) {
        document->Release();
        return S_FALSE;
    }
    *document = DomDocument(store_);
    return S_OK;
}

HRESULT DomNode::QueryDocument(DomDocument* document) const {
    if (document == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    if (index_ != 0) {
        document->Release();
        return E_NOINTERFACE;
    }
    *document = DomDocument(store_);
    return S_OK;
}

HRESULT DomNode::appendChild(const DomNode& child, DomNode* appended) const {
    if (store_ == nullptr) return E_UNEXPECTED;
    if (child.store_ == nullptr) return E_INVALIDARG;
    if (child.store_ != store_) return E_INVALIDARG;  // nodes never move between documents
    HRESULT status = store_->Append(index_, child.index_);
    if (Failed(status)) return status;
    if (appended != nullptr) *appended = child;
    return S_OK;
}

namespace dom {

HRESULT TextForm(const Variant& value, std::string* text) {
    switch (value.vt) {
        case VT_I4:
            AppendDecimal(value.lVal, *text);
            return S_OK;
        case VT_BSTR:
            AppendUtf16AsUtf8(value.bstrVal, *text);
            return S_OK;
        case VT_BOOL:
            text->append(value.boolVal != 0 ? "true" : "false");
            return S_OK;
        case VT_EMPTY:
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace dom

HRESULT DomNode::put_nodeTypedValue(const Variant& value) const {
    if (store_ == nullptr) return E_UNEXPECTED;
    std::string text;
    HRESULT status = dom::TextForm(value, &text);
    if (Failed(status)) return status;
    return PutText(text);
}

HRESULT DomNode::PutText(std::string_view utf8) const {
    if (store_ == nullptr) return E_UNEXPECTED;
    switch (store_->TypeOf(index_)) {
        case NODE_ELEMENT:
            return store_->ReplaceChildrenByText(index_, utf8);
        case NODE_DOCUMENT:
            return E_FAIL;
        default:
            store_->SetText(index_, utf8);
            return S_OK;
    }
}

HRESULT DomNode::get_nodeTypedValue(Variant* value) const {
    if (value == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    DOMNodeType type = store_->at(index_).type();
    std::string_view text;
    std::string below;
    if (type == NODE_ELEMENT || type == NODE_DOCUMENT) {
        below = store_->TextBelow(index_);
        text = below;
    } else {
        text = store_->TextOf(index_);
    }
    *value = Variant::String(Utf8ToUtf16(text));
    return S_OK;
}

// ---- DomDocument ------------------------------------------------------------

DomDocument::DomDocument(Store* store) : DomNode(store, 0) {}

HRESULT DomDocument::CreateNode(DOMNodeType type, std::string_view utf8_name, DomNode* node) const {
    if (node == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    std::uint32_t name_id = kNone;
    switch (type) {
        case NODE_ELEMENT:
        case NODE_ATTRIBUTE:
            name_id = store_->InternXmlName(utf8_name);
            if (name_id == kNone) return E_FAIL;
            break;
        case NODE_TEXT:
            break;
        default:
            return E_INVALIDARG;
    }
    std::uint32_t index = 0;
    HRESULT status = store_->NewNode(type, name_id, &index);
    if (Failed(status)) return status;
    *node = Store::MakeNode(store_, index);
    return S_OK;
}

void DomDocument::SetNodeLimit(std::size_t limit) const {
    if (store_ != nullptr) store_->set_node_limit(limit);
}

void DomDocument::SetCodePage(CodePage page) const {
    if (store_ != nullptr) store_->code_page = page;
}

CodePage DomNode::code_page() const { return store_ != nullptr ? store_->code_page : CodePage(); }

HRESULT CreateDomDocument(DomDocument* document) {
    if (document == nullptr) return E_POINTER;
    document->Release();
    if (!ComInitialized()) return CO_E_NOTINITIALIZED;
    *document = Store::MakeDocument(new Store());
    return S_OK;
}

// ---- DomNamedNodeMap --------------------------------------------------------

HRESULT DomNamedNodeMap::setNamedItem(const DomNode& attribute, DomNode* added) const {
    if (!element_) return E_UNEXPECTED;
    Store* store = Store::StoreOf(element_);
    std::uint32_t owner = Store::IndexOf(element_);
    if (Store::StoreOf(attribute) != store) return E_INVALIDARG;
    std::uint32_t index = Store::IndexOf(attribute);
    if (store->TypeOf(index) != NODE_ATTRIBUTE) return E_INVALIDARG;
    const std::uint32_t parent = store->IsPending(index) ? kNone : store->at(index).parent;
    if (parent != kNone && parent != owner) return E_FAIL;  // in use elsewhere
    if (parent == kNone) store->AttachAttribute(owner, index);
    if (added != nullptr) *added = attribute;
    return S_OK;
}

HRESULT DomNamedNodeMap::getNamedItem(std::u16string_view name, DomNode* attribute) const {
    if (attribute == nullptr) return E_POINTER;
    if (!element_) return E_UNEXPECTED;
    Store* store = Store::StoreOf(element_);
    std::string utf8;
    AppendUtf16AsUtf8(name, utf8);
    std::uint32_t name_id = store->FindName(utf8);
    std::uint32_t n = store->at(Store::IndexOf(element_)).tree.first_attribute;
    while (name_id != kNone && n != kNone && store->at(n).name() != name_id) n = store->at(n).next;
    if (name_id == kNone || n == kNone) {
        attribute->Release();
        return S_FALSE;
    }
    *attribute = Store::MakeNode(store, n);
    return S_OK;
}

}  // namespace dravonix
