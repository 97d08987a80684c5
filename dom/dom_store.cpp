// The node store: node records in chunks, interned names, the text arena,
// and the tree operations on records.
#include "dom/dom_store.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dom/xml_name.h"
#include "platform/memory_block.h"

namespace dravonix {

namespace dom {

namespace {

constexpr std::size_t kTextBlockSize = 64 * 1024;

}  // namespace

const char* TextArena::CopyToNewBlock(std::string_view text) {
    if (text.size() > kTextBlockSize / 4) {
        // Large texts get a block of their own so the shared block is not wasted.
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(blocks_.back().get(), text.data(), text.size());
        return blocks_.back().get();
    }
    // Blocks double up to kTextBlockSize, so that a small document costs
    // little.
    const std::size_t size = std::max(std::min(kTextBlockSize, next_block_size_), text.size());
    next_block_size_ = 2 * size;
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    free_ = blocks_.back().get();
    free_size_ = size;
    return Copy(text);
}

// A new document is in its compact form: the log holds its nodes, the
// document node among them.
Store::Store() : log_(std::make_unique<LogState>()), size_(1) {}

Store::~Store() = default;

void Store::Materialize() {
    if (log_ == nullptr) return;
    // The nodes are made again in the order they were first made, so each
    // gets its index back; the limit they met then is not asked again.
    std::unique_ptr<LogState> state = std::move(log_);
    const std::uint32_t total = size_;
    const std::size_t limit = node_limit_;
    node_limit_ = kNone - 1;
    try {
        size_ = 0;
        std::uint32_t index = 0;
        (void)NewNode(NODE_DOCUMENT, kNone, &index);
        std::vector<std::uint32_t> open;  // attached elements not yet ended
        NodeLog::Reader reader(state->entries);
        NodeLog::Entry entry;
        while (reader.Next(&entry)) {
            const std::uint32_t parent = open.empty() ? 0 : open.back();
            switch (entry.kind) {
                case NodeLog::Kind::kEnd:
                    open.pop_back();
                    continue;
                case NodeLog::Kind::kElement:
                    (void)NewNode(NODE_ELEMENT, entry.name, &index);
                    if (!entry.attached) continue;
                    (void)Append(parent, index);
                    open.push_back(index);
                    continue;
                case NodeLog::Kind::kAttribute:
                    (void)NewNode(NODE_ATTRIBUTE, entry.name, &index);
                    SetText(index, entry.text);
                    if (entry.attached) AttachAttribute(parent, index);
                    continue;
                case NodeLog::Kind::kText:
                    (void)NewNode(NODE_TEXT, kNone, &index);
                    SetText(index, entry.text);
                    if (entry.attached) (void)Append(parent, index);
                    continue;
            }
        }
        if (state->pending) {
            (void)NewNode(state->pending_type, state->pending_name, &index);
            if (state->pending_type != NODE_ELEMENT) SetText(index, state->pending_text);
        }
    } catch (const std::bad_alloc&) {
        // Nothing changed: the log stays, and the records made go.
        spare_chunk_.reset();
        chunks_.clear();
        capacity_ = 0;
        size_ = total;
        node_limit_ = limit;
        log_ = std::move(state);
        throw;
    }
    node_limit_ = limit;
}

void Store::FlushPending() {
    LogState& state = *log_;
    if (!state.pending) return;
    switch (state.pending_type) {
        case NODE_ELEMENT:
            state.entries.AddElement(state.pending_name, false);
            break;
        case NODE_ATTRIBUTE:
            state.entries.AddAttribute(state.pending_name, state.pending_text, false);
            break;
        default:
            state.entries.AddText(state.pending_text, false);
            break;
    }
    state.pending = false;
}

bool Store::CloseAbove(std::uint32_t parent) {
    LogState& state = *log_;
    std::size_t keep = 0;
    if (parent != 0) {
        keep = state.open.size();
        while (keep > 0 && state.open[keep - 1].index != parent) --keep;
        if (keep == 0) return false;
    }
    while (state.open.size() > keep) {
        state.entries.AddEnd();
        state.open.pop_back();
    }
    return true;
}

bool Store::LogAppend(std::uint32_t parent, std::uint32_t child, HRESULT* status) {
    LogState& state = *log_;
    if (!state.pending || child != state.pending_index) return false;
    const bool to_document = parent == 0;
    if (!to_document) {
        auto open = std::find_if(state.open.rbegin(), state.open.rend(),
                                 [parent](const LogState::Frame& f) { return f.index == parent; });
        if (open == state.open.rend()) return false;
    }
    // The checks of Append: the parent is the document or an open element,
    // and the child a node just made, which no ancestor can be.
    *status = E_FAIL;
    if (state.pending_type == NODE_ATTRIBUTE) return true;
    if (to_document) {
        // A document holds one root element and, around it, only markup.
        if (state.pending_type == NODE_TEXT &&
            state.pending_text.find_first_not_of(" \t\r\n") != std::string::npos) {
            return true;
        }
        if (state.pending_type == NODE_ELEMENT && state.has_root) return true;
    }
    (void)CloseAbove(parent);
    if (state.pending_type == NODE_ELEMENT) {
        state.entries.AddElement(state.pending_name, true);
    } else {
        state.entries.AddText(state.pending_text, true);
    }
    state.pending = false;
    const bool element = state.pending_type == NODE_ELEMENT;
    if (to_document) {
        state.has_root = state.has_root || element;
    } else {
        state.open.back().has_children = true;
        state.open.back().has_element_child = state.open.back().has_element_child || element;
    }
    if (element) {
        state.open.push_back(LogState::Frame{child});
        state.names.clear();
    }
    *status = S_OK;
    return true;
}

bool Store::LogAttachAttribute(std::uint32_t owner, std::uint32_t index) {
    LogState& state = *log_;
    if (!state.pending || index != state.pending_index || state.pending_type != NODE_ATTRIBUTE ||
        state.open.empty() || state.open.back().index != owner || state.open.back().has_children) {
        return false;
    }
    // An attribute that takes the place of one of its name: the records do it.
    if (std::find(state.names.begin(), state.names.end(), state.pending_name) !=
        state.names.end()) {
        return false;
    }
    state.names.push_back(state.pending_name);
    state.entries.AddAttribute(state.pending_name, state.pending_text, true);
    state.pending = false;
    return true;
}

DOMNodeType Store::TypeOf(std::uint32_t index) {
    if (log_ != nullptr) {
        const LogState& state = *log_;
        if (index == 0) return NODE_DOCUMENT;
        if (state.pending && index == state.pending_index) return state.pending_type;
        // The node asked about is nearly always the innermost open element.
        for (auto frame = state.open.rbegin(); frame != state.open.rend(); ++frame) {
            if (frame->index == index) return NODE_ELEMENT;
        }
    }
    return at(index).type();
}

bool Store::HasElementChild(std::uint32_t index) {
    if (log_ != nullptr) {
        const LogState& state = *log_;
        if (index == 0) return state.has_root;
        if (state.pending && index == state.pending_index) return false;
        for (auto frame = state.open.rbegin(); frame != state.open.rend(); ++frame) {
            if (frame->index == index) return frame->has_element_child;
        }
    }
    const NodeRecord& node = at(index);
    if (node.type() != NODE_ELEMENT && node.type() != NODE_DOCUMENT) return false;
    for (std::uint32_t n = node.tree.first_child; n != kNone; n = at(n).next) {
        if (at(n).type() == NODE_ELEMENT) return true;
    }
    return false;
}

bool Store::HasRoot() { return HasElementChild(0); }

NodeRecord* Store::NewChunk(std::size_t records, bool huge_pages) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    static_assert(kChunkBytes % kHugePage == 0, "a chunk is made of whole huge pages");
    // A large document takes one page fault per chunk instead of 512 when the
    // kernel backs the chunk by a huge page. The first chunk keeps ordinary
    // pages, so a small document costs only the pages its records touch.
    const std::size_t bytes = records * sizeof(NodeRecord);
    void* memory = AllocateBlock(bytes, bytes == kChunkBytes ? kHugePage : 64, huge_pages);
    if (memory == nullptr) throw std::bad_alloc();
    return static_cast<NodeRecord*>(memory);
}

Store::ChunkPtr Store::AllocateChunk(std::size_t records, bool huge_pages) {
    if (chunk_allocations_left_ == 0) throw std::bad_alloc();
    if (chunk_allocations_left_ != SIZE_MAX) --chunk_allocations_left_;
    return ChunkPtr(NewChunk(records, huge_pages));
}

void Store::GrowFirstChunk() {
    ChunkPtr grown = AllocateChunk(std::size_t{capacity_} * 2, false);
    std::memcpy(static_cast<void*>(grown.get()), chunks_[0].get(), capacity_ * sizeof(NodeRecord));
    chunks_[0] = std::move(grown);
    capacity_ *= 2;
}

void Store::AddChunk() {
    if (chunks_.size() == 1 && capacity_ < (1u << kChunkBits)) {
        GrowFirstChunk();
        return;
    }
    ChunkPtr chunk;
    if (chunks_.empty()) {
        chunk = AllocateChunk(kFirstRecords, false);
    } else {
        prefaulter_.Wait();
        chunk = spare_chunk_ ? std::move(spare_chunk_) : AllocateChunk(1u << kChunkBits, true);
    }
    chunks_.push_back(std::move(chunk));
    capacity_ = chunks_.size() == 1 ? kFirstRecords : capacity_ + (1u << kChunkBits);
    if (chunks_.size() < 2) return;
    // The spare chunk only saves time: without memory for it, the next chunk
    // is allocated when a node needs it, and fails that node if it must.
    try {
        spare_chunk_ = AllocateChunk(1u << kChunkBits, true);
    } catch (const std::bad_alloc&) {
        return;
    }
    prefaulter_.Start(spare_chunk_.get(), kChunkBytes);
}

HRESULT Store::NewNode(DOMNodeType type, std::uint32_t name, std::uint32_t* index) {
    if (size_ >= node_limit_ || size_ >= kNone - 1) return E_OUTOFMEMORY;
    if (log_ != nullptr) {
        if (type == NODE_ELEMENT || type == NODE_ATTRIBUTE || type == NODE_TEXT) {
            FlushPending();
            LogState& state = *log_;
            state.pending = true;
            state.pending_index = size_;
            state.pending_type = type;
            state.pending_name = name;
            state.pending_text.clear();
            *index = size_++;
            return S_OK;
        }
        Materialize();
    }
    if (size_ == capacity_) AddChunk();
    NodeRecord& node =
        *new (chunks_[size_ >> kChunkBits].get() + (size_ & kChunkMask)) NodeRecord(type, name);
    if (type == NODE_ELEMENT || type == NODE_DOCUMENT) {
        node.tree = {kNone, kNone, kNone};
    } else {
        node.text = {};
    }
    *index = size_++;
    return S_OK;
}

std::size_t Store::LineOf(std::uint32_t index) const {
    if (index >= lines_end_ || line_starts_.empty()) return 0;
    return static_cast<std::size_t>(
        std::upper_bound(line_starts_.begin(), line_starts_.end(), index) - line_starts_.begin());
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
    while (name_slots_[slot] != kNone && names_[name_slots_[slot]].text != utf8) {
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
    // Everything that allocates comes first, so that running out of memory
    // leaves the tables as they were. The table stays at most half full: it
    // is rebuilt twice as large when the name would fill it further.
    std::vector<std::uint32_t> grown;
    if (2 * (names_.size() + 1) > name_slots_.size()) grown.assign(2 * name_slots_.size(), kNone);
    names_.push_back(Name{std::string(utf8)});
    if (grown.empty()) {
        name_slots_[slot] = id;
    } else {
        name_slots_.swap(grown);
        for (std::uint32_t n = 0; n < names_.size(); ++n) name_slots_[SlotOf(names_[n].text)] = n;
    }
    return id;
}

std::uint32_t Store::InternUncachedXmlName(std::string_view utf8) {
    std::uint32_t id = name_slots_[SlotOf(utf8)];
    if (id == kNone || !names_[id].checked) {
        if (!IsXmlName(utf8)) return kNone;
        id = InternName(utf8);
        names_[id].checked = true;
    }
    name_cache_[CacheIndex(utf8.data())] = {utf8.data(), id};
    return id;
}

std::uint32_t Store::FindUncachedName(std::string_view utf8) {
    const std::uint32_t id = name_slots_[SlotOf(utf8)];
    if (id != kNone) found_cache_[CacheIndex(utf8.data())] = {utf8.data(), id};
    return id;
}

void Store::SetText(std::uint32_t index, std::string_view utf8) {
    if (log_ != nullptr && log_->pending && index == log_->pending_index) {
        log_->pending_text.assign(utf8);
        return;
    }
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
    if (log_ != nullptr && LogAttachAttribute(owner, index)) return;
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

void Store::LogBelow(std::uint32_t parent, bool element) {
    LogState& state = *log_;
    (void)parent;  // the innermost open element by now
    state.open.back().has_children = true;
    state.open.back().has_element_child = state.open.back().has_element_child || element;
    if (element) {
        state.open.push_back(LogState::Frame{size_});
        state.names.clear();
    }
    ++size_;
}

HRESULT Store::AppendNewText(std::uint32_t parent, std::string_view utf8) {
    // The usual case, indentation below an open element, goes straight into
    // the log, as the three steps below would put it.
    if (CanLogBelow(parent)) {
        FlushPending();
        (void)CloseAbove(parent);
        log_->entries.AddText(utf8, true);
        LogBelow(parent, false);
        return S_OK;
    }
    std::uint32_t index = 0;
    HRESULT status = NewNode(NODE_TEXT, kNone, &index);
    if (Failed(status)) return status;
    SetText(index, utf8);
    return Append(parent, index);
}

HRESULT Store::AppendNewElement(std::uint32_t parent, std::uint32_t name, std::uint32_t* index) {
    if (CanLogBelow(parent)) {
        log_->open.reserve(log_->open.size() + 1);  // so that nothing fails once it is logged
        FlushPending();
        (void)CloseAbove(parent);
        log_->entries.AddElement(name, true);
        *index = size_;
        LogBelow(parent, true);
        return S_OK;
    }
    HRESULT status = NewNode(NODE_ELEMENT, name, index);
    if (Failed(status)) return status;
    return Append(parent, *index);
}

bool Store::LogLeaf(std::uint32_t parent, const std::string_view* before, std::uint32_t name,
                    const LoggedAttribute* attributes, std::size_t count,
                    const std::string_view* inside) {
    const std::size_t nodes = 1 + count + (before != nullptr ? 1 : 0) + (inside != nullptr ? 1 : 0);
    if (!CanLogBelow(parent) || node_limit_ - size_ < nodes || kNone - 1 - size_ < nodes) {
        return false;
    }
    // Each attribute must be the first of its name.
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (attributes[i].name == attributes[j].name) return false;
        }
    }
    LogState& state = *log_;
    state.open.reserve(state.open.size() + 1);  // so that nothing fails once it is logged
    state.names.reserve(count);
    FlushPending();
    (void)CloseAbove(parent);
    if (before != nullptr) {
        state.entries.AddText(*before, true);
        LogBelow(parent, false);
    }
    const std::uint32_t element = size_;
    state.entries.AddElement(name, true);
    LogBelow(parent, true);
    for (std::size_t i = 0; i < count; ++i) {
        state.entries.AddAttribute(attributes[i].name, {attributes[i].data, attributes[i].size},
                                   true);
        state.names.push_back(attributes[i].name);
        ++size_;
    }
    if (inside != nullptr) {
        state.entries.AddText(*inside, true);
        LogBelow(element, false);
    }
    return true;
}

HRESULT Store::AddAttribute(std::uint32_t owner, std::uint32_t name, std::string_view utf8) {
    // An attribute of the innermost open element, before its children and
    // of a name it does not have yet, goes straight into the log.
    if (log_ != nullptr && size_ < node_limit_ && size_ < kNone - 1 && !log_->open.empty()) {
        LogState& state = *log_;
        if (state.open.back().index == owner && !state.open.back().has_children &&
            std::find(state.names.begin(), state.names.end(), name) == state.names.end()) {
            FlushPending();
            state.names.push_back(name);
            state.entries.AddAttribute(name, utf8, true);
            ++size_;
            return S_OK;
        }
    }
    std::uint32_t index = 0;
    HRESULT status = NewNode(NODE_ATTRIBUTE, name, &index);
    if (Failed(status)) return status;
    SetText(index, utf8);
    AttachAttribute(owner, index);
    return S_OK;
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
    if (log_ != nullptr) {
        HRESULT status = S_OK;
        if (LogAppend(parent_index, child_index, &status)) return status;
    }
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

}  // namespace dravonix
