// The compact form of a document written in order: its nodes as a stream of
// short entries, a few bytes each, in the order a pre-order walk of the
// tree meets them. Writers build trees that way (each node appended where
// the last one left off), and a large keyboard holds tens of millions of
// nodes, for which node records would cost more memory than the keyboard
// itself. Only the node store uses it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace dravonix {

namespace dom {

/// The nodes of a document in the order they were made, each as an entry:
/// an element (its name), an attribute (name and text), a text (indentation,
/// a line feed and TABs, as a count) and the end of the innermost open
/// element. An entry is
/// attached when it sits in the tree where the stream puts it: an element
/// or a text below the innermost open element (or the document), an
/// attribute on it. An entry that is not attached stands for a node made but
/// not put in the tree. Entries never span two blocks, so their text is read
/// in place.
class NodeLog {
public:
    enum class Kind : std::uint8_t { kElement, kAttribute, kText, kEnd };

    /// One entry, as Next reads it. text is valid until the next call.
    struct Entry {
        Kind kind = Kind::kEnd;
        bool attached = false;
        std::uint32_t name = 0;  // elements and attributes
        std::string_view text;   // attributes and texts
    };

    /// Reads the entries from the first on.
    class Reader {
    public:
        explicit Reader(const NodeLog& log) : log_(log) {}
        /// The next entry; false after the last. Inline: serializing a large
        /// document reads tens of millions of entries.
        bool Next(Entry* entry) {
            if (at_ == end_ && !NextBlock()) return false;
            const std::uint8_t tag = *at_++;
            const unsigned payload = tag >> 4;
            entry->kind = static_cast<Kind>(tag & 0x03);
            entry->attached = (tag & kAttachedBit) != 0;
            switch (entry->kind) {
                case Kind::kElement:
                    entry->name = payload == kEscape ? Varint() : payload;
                    break;
                case Kind::kAttribute:
                    entry->name = payload == kEscape ? Varint() : payload;
                    entry->text = Text();
                    break;
                case Kind::kText:
                    entry->text = (tag & kIndentationBit) != 0 ? Indentation(payload) : Text();
                    break;
                case Kind::kEnd:
                    break;
            }
            return true;
        }

    private:
        /// Moves to the next block that holds entries; false after the last.
        bool NextBlock();
        std::uint32_t Varint() {
            std::uint32_t value = 0;
            for (unsigned shift = 0;; shift += 7) {
                const std::uint8_t byte = *at_++;
                value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
                if ((byte & 0x80) == 0) return value;
            }
        }
        std::string_view Text() {
            const std::size_t size = Varint();
            const std::string_view text(reinterpret_cast<const char*>(at_), size);
            at_ += size;
            return text;
        }
        std::string_view Indentation(unsigned payload);

        const NodeLog& log_;
        std::size_t block_ = 0;  // the block after the one being read
        const std::uint8_t* at_ = nullptr;
        const std::uint8_t* end_ = nullptr;
        std::vector<char> indentation_;  // for indentation deeper than the usual
    };

    void AddElement(std::uint32_t name, bool attached);
    void AddAttribute(std::uint32_t name, std::string_view text, bool attached);
    void AddText(std::string_view text, bool attached);
    void AddEnd();

    /// Bytes held, for tests and measurements.
    std::size_t size() const;

private:
    static constexpr std::uint8_t kAttachedBit = 0x04;
    static constexpr std::uint8_t kIndentationBit = 0x08;
    static constexpr unsigned kEscape = 15;

    struct Block {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    /// Room for size contiguous bytes at the end of the last block.
    std::uint8_t* Room(std::size_t size) {
        if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < size) {
            AddBlock(size);
        }
        return blocks_.back().bytes.get() + blocks_.back().used;
    }
    /// Starts a block with room for at least size bytes.
    void AddBlock(std::size_t size);
    /// Puts a tag byte: kind, attached, and a small payload (0..15).
    static std::uint8_t Tag(Kind kind, bool attached, unsigned payload);

    std::vector<Block> blocks_;
};

}  // namespace dom

}  // namespace dravonix
