#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "dom/dom_store.h"
#include "platform/com.h"
#include "platform/memory_block.h"
#include "platform/unicode.h"

namespace dravonix {

namespace dom {

namespace {

constexpr std::size_t kTextBlockSize = 64 * 1024;

constexpr bool IsNameStartChar(char32_t c) {
    return c == ':' || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

constexpr bool IsNameChar(char32_t c) {
    return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// What each ASCII character may be in a name: bit 1 a first character, bit 2
// a later one.
constexpr std::array<std::uint8_t, 128> kAsciiNameChars = [] {
    std::array<std::uint8_t, 128> table{};
    for (char32_t c = 0; c < 128; ++c) {
        table[c] =
            static_cast<std::uint8_t>((IsNameStartChar(c) ? 1 : 0) | (IsNameChar(c) ? 2 : 0));
    }
    return table;
}();

}  // namespace

bool IsXmlName(std::string_view name) {
    // Names are nearly always ASCII: check their bytes by table.
    bool ascii = !name.empty();
    for (std::size_t i = 0; ascii && i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            ascii = false;
        } else if ((kAsciiNameChars[c] & (i == 0 ? 1 : 2)) == 0) {
            return false;
        }
    }
    if (ascii) return true;
    std::u16string wide = Utf8ToUtf16(name);
    if (wide.empty()) return false;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
        }
        if (!(i == 0 ? IsNameStartChar(c) : IsNameChar(c))) return false;
    }
    return true;
}

const char* TextArena::CopyToNewBlock(std::string_view text) {
    if (text.size() > kTextBlockSize / 4) {
        // Large texts get a block of their own so the shared block is not wasted.
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(blocks_.back().get(), text.data(), text.size());
        return blocks_.back().get();
    }
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kTextBlockSize));
    free_ = blocks_.back().get();
    free_size_ = kTextBlockSize;
    return Copy(text);
}

Store::Store() {
    std::uint32_t document = 0;
    NewNode(NODE_DOCUMENT, kNone, &document);
}

NodeRecord* Store::NewChunk(bool huge_pages) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    static_assert(kChunkBytes % kHugePage == 0, "a chunk is made of whole huge pages");
    // A large document takes one page fault per chunk instead of 512 when the
    // kernel backs the chunk by a huge page. The first chunk keeps ordinary
    // pages, so a small document costs only the pages its records touch.
    void* memory = AllocateBlock(kChunkBytes, kHugePage, huge_pages);
    if (memory == nullptr) throw std::bad_alloc();
    return static_cast<NodeRecord*>(memory);
}

void Store::AddChunk() {
    ChunkPtr chunk;
    if (chunks_.empty()) {
        chunk.reset(NewChunk(false));
    } else {
        prefaulter_.Wait();
        chunk = spare_chunk_ ? std::move(spare_chunk_) : ChunkPtr(NewChunk(true));
    }
    chunks_.push_back(std::move(chunk));
    if (chunks_.size() < 2) return;
    spare_chunk_.reset(NewChunk(true));
    prefaulter_.Start(spare_chunk_.get(), kChunkBytes);
}

HRESULT Store::NewNode(DOMNodeType type, std::uint32_t name, std::uint32_t* index) {
    if (size_ >= node_limit_ || size_ >= kNone - 1) return E_OUTOFMEMORY;
    if ((size_ & kChunkMask) == 0) AddChunk();
    NodeRecord& node = *new (chunks_.back().get() + (size_ & kChunkMask)) NodeRecord(type, name);
    if (type == NODE_ELEMENT || type == NODE_DOCUMENT) {
        node.tree = {kNone, kNone, kNone};
    } else {
        node.text = {};
    }
    *index = size_++;
    return S_OK;
}

namespace {

// FNV-1a: names are short, and this is quick and well spread for them.
std::size_t HashName(std::string_view name) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return static_cast<std::size_t>(hash);
}

}  // namespace

std::size_t Store::SlotOf(std::string_view utf8) const {
    const std::size_t mask = name_slots_.size() - 1;
    std::size_t slot = HashName(utf8) & mask;
    while (name_slots_[slot] != kNone && names_[name_slots_[slot]] != utf8) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

std::uint32_t Store::InternName(std::string_view utf8) {
    const std::size_t slot = SlotOf(utf8);
    if (name_slots_[slot] != kNone) return name_slots_[slot];
    const auto id = static_cast<std::uint32_t>(names_.size());
    // Records keep name ids in 28 bits; a document with more names than that
    // cannot be held, like one that outgrows memory.
    if (id >= kMaxNames) throw std::bad_alloc();
    names_.emplace_back(utf8);
    checked_names_.push_back(false);
    name_slots_[slot] = id;
    if (2 * names_.size() > name_slots_.size()) {
        // Keep the table at most half full: rebuild it twice as large.
        name_slots_.assign(2 * name_slots_.size(), kNone);
        for (std::uint32_t n = 0; n < names_.size(); ++n) name_slots_[SlotOf(names_[n])] = n;
    }
    return id;
}

std::uint32_t Store::InternXmlName(std::string_view utf8) {
    // The same address may hold another text by now: the cached id counts
    // only when its name equals the text.
    const std::uint64_t address = reinterpret_cast<std::uintptr_t>(utf8.data());
    CachedName& cached = name_cache_[(address * 0x9E3779B97F4A7C15ull) >> 58];
    if (cached.data == utf8.data() && cached.id != kNone && names_[cached.id] == utf8) {
        return cached.id;
    }
    std::uint32_t id = name_slots_[SlotOf(utf8)];
    if (id == kNone || !checked_names_[id]) {
        if (!IsXmlName(utf8)) return kNone;
        id = InternName(utf8);
        checked_names_[id] = true;
    }
    cached = {utf8.data(), id};
    return id;
}

std::uint32_t Store::FindName(std::string_view utf8) const { return name_slots_[SlotOf(utf8)]; }

void Store::SetText(std::uint32_t index, std::string_view utf8) {
    NodeRecord& node = at(index);
    node.text.size = static_cast<std::uint32_t>(utf8.size());
    if (utf8.size() <= kShortText) {
        std::copy_n(utf8.data(), utf8.size(), node.text.bytes);
    } else {
        const char* copy = text_.Copy(utf8);
        static_assert(sizeof copy <= kShortText, "the address of a text fits in its record");
        std::memcpy(node.text.bytes, &copy, sizeof copy);
    }
}

void Store::AttachAttribute(std::uint32_t owner, std::uint32_t index) {
    NodeRecord& node = at(index);
    NodeRecord& element = at(owner);
    std::uint32_t previous = kNone;
    std::uint32_t same = element.tree.first_attribute;
    const std::uint32_t name = node.name();
    while (same != kNone && at(same).name() != name) {
        previous = same;
        same = at(same).next;
    }
    node.parent = owner;
    if (same == kNone) {
        // previous is the last attribute: append after it.
        node.next = kNone;
        if (previous == kNone) {
            element.tree.first_attribute = index;
        } else {
            at(previous).next = index;
        }
    } else {
        // Replace the attribute of the same name in its place.
        NodeRecord& old = at(same);
        node.next = old.next;
        if (previous == kNone) {
            element.tree.first_attribute = index;
        } else {
            at(previous).next = index;
        }
        old.parent = kNone;
        old.next = kNone;
    }
}

bool Store::IsAncestorOrSelf(std::uint32_t candidate, std::uint32_t node) {
    for (std::uint32_t n = node; n != kNone; n = at(n).parent) {
        if (n == candidate) return true;
    }
    return false;
}

void Store::Detach(std::uint32_t child) {
    NodeRecord& node = at(child);
    if (node.parent == kNone) return;
    NodeRecord& parent = at(node.parent);
    std::uint32_t previous = kNone;
    for (std::uint32_t n = parent.tree.first_child; n != child; n = at(n).next) previous = n;
    if (previous == kNone) {
        parent.tree.first_child = node.next;
    } else {
        at(previous).next = node.next;
    }
    if (parent.tree.last_child == child) parent.tree.last_child = previous;
    node.parent = kNone;
    node.next = kNone;
}

HRESULT Store::Append(std::uint32_t parent_index, std::uint32_t child_index) {
    NodeRecord& parent = at(parent_index);
    NodeRecord& child = at(child_index);
    if (parent.type() != NODE_ELEMENT && parent.type() != NODE_DOCUMENT) return E_FAIL;
    if (child.type() == NODE_ATTRIBUTE || child.type() == NODE_DOCUMENT) return E_FAIL;
    // Only a node with children can be an ancestor of another node.
    bool has_children = child.type() == NODE_ELEMENT && child.tree.first_child != kNone;
    if (has_children ? IsAncestorOrSelf(child_index, parent_index) : child_index == parent_index) {
        return E_FAIL;
    }
    if (parent.type() == NODE_DOCUMENT) {
        // A document holds one root element and, around it, only markup.
        if (child.type() == NODE_TEXT) {
            std::string_view text = TextOf(child_index);
            if (text.find_first_not_of(" \t\r\n") != std::string_view::npos) return E_FAIL;
        }
        if (child.type() == NODE_ELEMENT) {
            for (std::uint32_t n = parent.tree.first_child; n != kNone; n = at(n).next) {
                if (at(n).type() == NODE_ELEMENT && n != child_index) return E_FAIL;
            }
        }
    }
    Detach(child_index);
    child.parent = parent_index;
    if (parent.tree.last_child == kNone) {
        parent.tree.first_child = child_index;
    } else {
        at(parent.tree.last_child).next = child_index;
    }
    parent.tree.last_child = child_index;
    return S_OK;
}

HRESULT Store::ReplaceChildrenByText(std::uint32_t element, std::string_view utf8) {
    std::uint32_t text = 0;
    HRESULT status = NewNode(NODE_TEXT, kNone, &text);
    if (Failed(status)) return status;
    SetText(text, utf8);
    NodeRecord& node = at(element);
    for (std::uint32_t n = node.tree.first_child; n != kNone;) {
        std::uint32_t next = at(n).next;
        at(n).parent = kNone;
        at(n).next = kNone;
        n = next;
    }
    node.tree.first_child = kNone;
    node.tree.last_child = kNone;
    return Append(element, text);
}

std::string Store::TextBelow(std::uint32_t index) {
    std::string text;
    std::uint32_t n = at(index).tree.first_child;
    while (n != kNone) {
        NodeRecord& node = at(n);
        if (node.type() == NODE_TEXT) text.append(TextOf(n));
        if (node.type() == NODE_ELEMENT && node.tree.first_child != kNone) {
            n = node.tree.first_child;
            continue;
        }
        // Climb until a node with a next sibling, stopping at the start node.
        while (n != index && at(n).next == kNone) n = at(n).parent;
        if (n == index) break;
        n = at(n).next;
    }
    return text;
}

}  // namespace dom

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
    *type = store_->at(index_).type();
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
    if (store_->at(index_).type() != NODE_ELEMENT) {
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
    switch (store_->at(index_).type()) {
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

HRESULT DomDocument::createNode(const Variant& type, std::u16string_view name,
                                std::u16string_view /*namespace_uri*/, DomNode* node) const {
    if (node == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    Variant number;
    HRESULT status = VariantChangeType(&number, type, 0, VT_I4);
    if (Failed(status)) return E_INVALIDARG;
    if (number.lVal != NODE_ELEMENT && number.lVal != NODE_ATTRIBUTE && number.lVal != NODE_TEXT) {
        return E_INVALIDARG;
    }
    std::string utf8;
    AppendUtf16AsUtf8(name, utf8);
    return CreateNode(static_cast<DOMNodeType>(number.lVal), utf8, node);
}

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
    dom::NodeRecord& node = store->at(index);
    if (node.type() != NODE_ATTRIBUTE) return E_INVALIDARG;
    if (node.parent != kNone && node.parent != owner) return E_FAIL;  // in use elsewhere
    if (node.parent == kNone) store->AttachAttribute(owner, index);
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

HRESULT DomNamedNodeMap::get_length(long* length) const {
    if (length == nullptr) return E_POINTER;
    if (!element_) return E_UNEXPECTED;
    Store* store = Store::StoreOf(element_);
    long count = 0;
    for (std::uint32_t n = store->at(Store::IndexOf(element_)).tree.first_attribute; n != kNone;
         n = store->at(n).next) {
        ++count;
    }
    *length = count;
    return S_OK;
}

HRESULT DomNamedNodeMap::get_item(long index, DomNode* attribute) const {
    if (attribute == nullptr) return E_POINTER;
    if (!element_) return E_UNEXPECTED;
    Store* store = Store::StoreOf(element_);
    std::uint32_t n = store->at(Store::IndexOf(element_)).tree.first_attribute;
    for (long i = 0; i < index && n != kNone; ++i) n = store->at(n).next;
    if (index < 0 || n == kNone) {
        attribute->Release();
        return S_FALSE;
    }
    *attribute = Store::MakeNode(store, n);
    return S_OK;
}

}  // namespace dravonix
