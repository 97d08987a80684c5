// Inside of the DOM: the node records of one document, kept in chunks and
// addressed by 32-bit index, with interned names and an arena for text. Only
// the DOM's own files include this header.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dom/dom.h"
#include "dom/node_log.h"
#include "platform/code_page.h"
#include "platform/memory_block.h"
#include "platform/prefault.h"

namespace dravonix {

namespace dom {

constexpr std::uint32_t kNone = 0xFFFFFFFFu;
/// Longest text kept inside a node record.
constexpr std::uint32_t kShortText = 8;
/// Name ids take the upper 28 bits of a record's kind word: at most this many
/// names per document.
constexpr std::uint32_t kMaxNames = (1u << 28) - 1;

/// An attribute for Store::LogLeaf: its interned name and its text. No
/// member has an initializer, so that the arrays writers fill for each
/// element are not cleared first (they are filled as far as they are used).
struct LoggedAttribute {
    std::uint32_t name;
    const char* data;
    std::size_t size;
};

/// One node, in 24 bytes: a large document holds tens of millions of them.
/// Elements and the document have children and (elements only) attributes;
/// attributes, text, comments and processing instructions have text. An
/// attribute's parent is its owner element, its next the next attribute of
/// that element.
struct NodeRecord {
    /// Links of a node that has children and attributes.
    struct TreeLinks {
        std::uint32_t first_child;
        std::uint32_t last_child;
        std::uint32_t first_attribute;
    };
    /// The text of a node that has text. A text of up to kShortText bytes
    /// lives in bytes (most do: numbers and indentation); a longer one lives
    /// in the text arena, and bytes hold the address of that copy.
    struct Text {
        std::uint32_t size;
        char bytes[kShortText];
    };

    NodeRecord(DOMNodeType type, std::uint32_t name) : kind((name << 4) | type) {}

    DOMNodeType type() const { return static_cast<DOMNodeType>(kind & 0xFu); }
    /// The interned name; kNone for text, comments and the document.
    std::uint32_t name() const { return (kind >> 4) == kMaxNames ? kNone : kind >> 4; }

    std::uint32_t parent = kNone;
    std::uint32_t next = kNone;
    std::uint32_t kind;  // name id in the upper 28 bits, node type in the lower 4
    union {
        TreeLinks tree;
        Text text;
    };
};
static_assert(sizeof(NodeRecord) == 24, "node chunks are sized for 24-byte records");

/// Copies of text that live as long as the document.
class TextArena {
public:
    /// Returns a stable copy of text (nullptr for empty text).
    const char* Copy(std::string_view text) {
        if (text.empty()) return nullptr;
        if (text.size() > free_size_) return CopyToNewBlock(text);
        char* copy = free_;
        std::memcpy(copy, text.data(), text.size());
        free_ += text.size();
        free_size_ -= text.size();
        return copy;
    }

private:
    /// Copy of a text that does not fit in the current block.
    const char* CopyToNewBlock(std::string_view text);

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;
    std::size_t free_size_ = 0;
    std::size_t next_block_size_ = 1024;
};

/// All nodes of one document. Node 0 is the document node.
///
/// A new document keeps its nodes in the compact form of a NodeLog for as
/// long as each node is made and put in the tree where the last one left
/// off, which is how writers build; the operations below keep that form
/// where they can, with the same statuses and results as on records. The
/// first operation that needs more (reading a node's record, putting a node
/// elsewhere, detaching) turns the log into records (Materialize), which
/// the document then keeps: at() never sees the log.
class Store {
public:
    Store();
    ~Store();

    /// Handles that refer to this document or its nodes.
    std::uint32_t references = 0;
    /// The code page of the narrow text written into or read from this
    /// document (DomDocument::SetCodePage).
    CodePage code_page;

    NodeRecord& at(std::uint32_t index) {
        if (log_ != nullptr) [[unlikely]]
            Materialize();
        return chunks_[index >> kChunkBits].get()[index & kChunkMask];
    }
    std::uint32_t size() const { return size_; }

    /// Turns the log into node records (at once for a store that is filled
    /// from the start in an order no log can follow, like the parser's).
    /// Nothing changes when the records are already there.
    void Materialize();
    /// The log of a document still in its compact form; null otherwise.
    const NodeLog* log() const { return log_ == nullptr ? nullptr : &log_->entries; }
    /// The type of the node at index (without turning the log into records
    /// for a node the log still has at hand).
    DOMNodeType TypeOf(std::uint32_t index);
    /// True when the element or document at index has an element child.
    bool HasElementChild(std::uint32_t index);
    /// True when the document node has an element child.
    bool HasRoot();
    /// True when the node at index is the newest one, which the log holds
    /// apart until it is put in the tree (and which has no parent yet).
    bool IsPending(std::uint32_t index) const {
        return log_ != nullptr && log_->pending && index == log_->pending_index;
    }

    /// Adds a node of the given type and name; E_OUTOFMEMORY beyond the limit.
    /// Records may move while the store grows: a reference from at() is good
    /// only until the next node is added.
    [[nodiscard]] HRESULT NewNode(DOMNodeType type, std::uint32_t name, std::uint32_t* index);
    void set_node_limit(std::size_t limit) { node_limit_ = limit; }
    /// Lets only count more chunks of node records be allocated; those after
    /// throw std::bad_alloc, as when memory runs out. For tests of that path.
    void set_chunk_allocation_limit(std::size_t count) { chunk_allocations_left_ = count; }

    /// Returns the id of a name given in UTF-8.
    std::uint32_t InternName(std::string_view utf8);
    /// InternName for a name that must be an XML name: kNone when it is not.
    /// Each name is checked once. Writers pass the same few literal names
    /// millions of times, so a name is looked up by the address of its text
    /// first (inline: a hit costs a comparison).
    std::uint32_t InternXmlName(std::string_view utf8) {
        // The same address may hold another text by now: the cached id
        // counts only when its name equals the text.
        const CachedName& cached = name_cache_[CacheIndex(utf8.data())];
        if (cached.data == utf8.data() && cached.id != kNone &&
            Same(names_[cached.id].text, utf8)) {
            return cached.id;
        }
        return InternUncachedXmlName(utf8);
    }
    /// Returns the id of a name, or kNone when the document has never seen it.
    /// Readers look up the same few literal names millions of times, so a
    /// name found is remembered by the address of its text (inline: a hit
    /// costs a comparison).
    std::uint32_t FindName(std::string_view utf8) {
        const CachedName& cached = found_cache_[CacheIndex(utf8.data())];
        if (cached.data == utf8.data() && cached.id != kNone &&
            Same(names_[cached.id].text, utf8)) {
            return cached.id;
        }
        return FindUncachedName(utf8);
    }
    const std::string& NameOf(std::uint32_t id) const { return names_[id].text; }

    /// Text of an attribute, text, comment or processing-instruction node.
    std::string_view TextOf(std::uint32_t index) {
        const NodeRecord& node = at(index);
        if (node.text.size <= kShortText) return {node.text.bytes, node.text.size};
        const char* data = nullptr;
        std::memcpy(&data, node.text.bytes, sizeof data);
        return {data, node.text.size};
    }
    void SetText(std::uint32_t index, std::string_view utf8);

    /// Gives a new, unattached attribute to an element: after the existing
    /// ones, or in the place of the one of the same name (setNamedItem).
    void AttachAttribute(std::uint32_t owner, std::uint32_t index);
    /// Creates an attribute of that name and text and attaches it to owner:
    /// CreateNode, PutText and setNamedItem in one.
    [[nodiscard]] HRESULT AddAttribute(std::uint32_t owner, std::uint32_t name,
                                       std::string_view utf8);

    /// Appends child below parent after the checks of appendChild.
    [[nodiscard]] HRESULT Append(std::uint32_t parent, std::uint32_t child);
    /// Makes a text node of utf8 and appends it below parent: NewNode,
    /// SetText and Append in one, with their statuses.
    [[nodiscard]] HRESULT AppendNewText(std::uint32_t parent, std::string_view utf8);
    /// Makes an element of that name and appends it below parent: NewNode
    /// and Append in one, with their statuses; *index is the new element's.
    [[nodiscard]] HRESULT AppendNewElement(std::uint32_t parent, std::uint32_t name,
                                           std::uint32_t* index);
    /// An element with attributes, below the open element parent, straight
    /// into the log: what AppendNewText of before (when given),
    /// AppendNewElement, AddAttribute for each attribute and AppendNewText
    /// of inside below the new element (when given) make. False, with
    /// nothing done, when the log cannot take them all (the general way must
    /// make them one by one, with their statuses).
    [[nodiscard]] bool LogLeaf(std::uint32_t parent, const std::string_view* before,
                               std::uint32_t name, const LoggedAttribute* attributes,
                               std::size_t count, const std::string_view* inside);

    /// Replaces the children of an element by one text node.
    [[nodiscard]] HRESULT ReplaceChildrenByText(std::uint32_t element, std::string_view utf8);
    /// All text below a node, in document order.
    std::string TextBelow(std::uint32_t index);

    /// Notes that the node at index, the newest one, was parsed at line.
    /// Nodes are noted in the order they were made, at lines that never
    /// decrease, so the lines take one entry per line of the source; a node
    /// not noted (an attribute) has the line of the one before it.
    void NoteLine(std::uint32_t index, std::size_t line) {
        while (line_starts_.size() < line) line_starts_.push_back(index);
    }
    /// Ends the noting of lines: nodes made from now on have none.
    void EndLines() { lines_end_ = size_; }
    /// The source line noted for the node at index (or the node before it);
    /// 0 for a node made after EndLines, or when no line was noted.
    std::size_t LineOf(std::uint32_t index) const;

    /// Makes a handle for a node of a store (takes a reference).
    static DomNode MakeNode(Store* store, std::uint32_t index) { return DomNode(store, index); }
    /// Makes a document handle for a store (takes a reference).
    static DomDocument MakeDocument(Store* store) { return DomDocument(store); }
    /// The store and index behind a handle (nullptr for a null handle).
    static Store* StoreOf(const DomNode& node) { return node.store_; }
    static std::uint32_t IndexOf(const DomNode& node) { return node.index_; }
    /// The element behind an attribute map (a null handle for a null map).
    static const DomNode& ElementOf(const DomNamedNodeMap& map) { return map.element_; }

private:
    // 262144 records of 24 bytes: 6 MiB, three whole huge pages. The first
    // chunk starts with room for kFirstRecords and doubles until it is whole,
    // so that a small document costs a few kilobytes.
    static constexpr unsigned kChunkBits = 18;
    static constexpr std::uint32_t kFirstRecords = 64;
    static constexpr std::uint32_t kChunkMask = (1u << kChunkBits) - 1;
    static constexpr std::size_t kChunkBytes = sizeof(NodeRecord) << kChunkBits;

    void Detach(std::uint32_t child);
    /// The slot of name_slots_ that holds name, or the free slot where it would go.
    std::size_t SlotOf(std::string_view utf8) const;
    /// InternXmlName without the cache, whose entry it then sets.
    std::uint32_t InternUncachedXmlName(std::string_view utf8);
    /// FindName without the cache, whose entry it then sets.
    std::uint32_t FindUncachedName(std::string_view utf8);
    /// True when a name equals text; inline, since names are a few bytes.
    static bool Same(const std::string& name, std::string_view text) {
        if (name.size() != text.size()) return false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (name[i] != text[i]) return false;
        }
        return true;
    }
    /// The entry of name_cache_ for a text at that address.
    static std::size_t CacheIndex(const char* data) {
        return (reinterpret_cast<std::uintptr_t>(data) * 0x9E3779B97F4A7C15ull) >> 58;
    }
    bool IsAncestorOrSelf(std::uint32_t candidate, std::uint32_t node);

    /// The state of a document in its compact form: the log, the open
    /// elements along which the next node may go, and the newest node,
    /// which the log gets once it is put in the tree or the next is made.
    struct LogState {
        NodeLog entries;
        struct Frame {
            std::uint32_t index;
            bool has_children = false;
            bool has_element_child = false;
        };
        std::vector<Frame> open;           // outermost first; the document is below them
        std::vector<std::uint32_t> names;  // attribute names of open.back(), while childless
        bool has_root = false;             // the document has its element
        bool pending = false;              // the newest node is not in the log yet
        std::uint32_t pending_index = 0;
        DOMNodeType pending_type = NODE_INVALID;
        std::uint32_t pending_name = kNone;
        std::string pending_text;
    };
    /// Writes the newest node into the log as made but not put in the tree.
    void FlushPending();
    /// The log's way of Append and AttachAttribute: true when it could do it
    /// (status in *status), false when the records must.
    bool LogAppend(std::uint32_t parent, std::uint32_t child, HRESULT* status);
    bool LogAttachAttribute(std::uint32_t owner, std::uint32_t index);
    /// Closes the open elements above parent (the document: all of them);
    /// false when parent is not open.
    bool CloseAbove(std::uint32_t parent);
    /// True when a new node may go below parent straight into the log: the
    /// document is in its compact form, the node is within the limit, and
    /// parent is an open element. (The document itself is left to the
    /// general way, which has its own checks.)
    bool CanLogBelow(std::uint32_t parent) const {
        if (log_ == nullptr || size_ >= node_limit_ || size_ >= kNone - 1 || parent == 0) {
            return false;
        }
        for (auto frame = log_->open.rbegin(); frame != log_->open.rend(); ++frame) {
            if (frame->index == parent) return true;
        }
        return false;
    }
    /// Counts a node just logged below parent, by now the innermost open
    /// element, and opens it when it is an element.
    void LogBelow(std::uint32_t parent, bool element);

    /// Frees a chunk of node records (allocated by AllocateBlock).
    struct FreeChunk {
        void operator()(NodeRecord* chunk) const { FreeBlock(chunk); }
    };
    /// Allocates the storage of records records, not yet created: a whole
    /// chunk, or less for the first chunk while it grows.
    static NodeRecord* NewChunk(std::size_t records, bool huge_pages);

    using ChunkPtr = std::unique_ptr<NodeRecord, FreeChunk>;
    /// NewChunk within the limit of set_chunk_allocation_limit.
    ChunkPtr AllocateChunk(std::size_t records, bool huge_pages);
    /// Moves the records of the first chunk into one twice as large.
    void GrowFirstChunk();
    /// Makes the next chunk current: the one populated ahead when there is
    /// one, and from the second chunk on (a large document) starts
    /// populating the chunk after it, when there is memory for it.
    void AddChunk();

    std::unique_ptr<LogState> log_;  // null once the nodes are records
    std::vector<ChunkPtr> chunks_;
    std::uint32_t capacity_ = 0;  // records the chunks have room for
    ChunkPtr spare_chunk_;        // the next chunk, being populated by prefaulter_
    Prefaulter prefaulter_;       // after the chunks, so that it waits before any is freed
    std::uint32_t size_ = 0;
    std::size_t node_limit_ = kNone - 1;
    std::size_t chunk_allocations_left_ = SIZE_MAX;
    /// A name of the document, by id.
    struct Name {
        std::string text;
        bool checked = false;  // known to be an XML name
    };
    std::vector<Name> names_;
    /// Open-addressed table of name ids (kNone for a free slot), at most half
    /// full: interning runs once per element and attribute created.
    std::vector<std::uint32_t> name_slots_ = std::vector<std::uint32_t>(64, kNone);
    /// Checked XML names by the address of the text they were last given as:
    /// writers pass the same few literal names millions of times, and a hit
    /// costs a comparison instead of hashing and probing.
    struct CachedName {
        const char* data = nullptr;
        std::uint32_t id = kNone;
    };
    std::array<CachedName, 64> name_cache_{};   // indexed by the top 6 bits of a hash
    std::array<CachedName, 64> found_cache_{};  // names found, by the same index
    TextArena text_;
    std::vector<std::uint32_t> line_starts_;  // [L - 1]: the first node noted at line L or later
    std::uint32_t lines_end_ = 0;             // nodes from here on have no line
};

/// The UTF-8 text form of a variant (put_nodeTypedValue), appended to text;
/// DISP_E_TYPEMISMATCH for values without one.
[[nodiscard]] HRESULT TextForm(const Variant& value, std::string* text);

}  // namespace dom

}  // namespace dravonix
