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
/// an element (its name), an attribute (name and text; a canonical decimal
/// integer text is kept as the number), a text (indentation, a line feed and
/// TABs, as a count) and the end of the innermost open element. An entry is
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
        /// The next entry; false after the last.
        bool Next(Entry* entry);

    private:
        const NodeLog& log_;
        std::size_t block_ = 0;
        std::size_t at_ = 0;
        char digits_[16];
        std::vector<char> indentation_;
    };

    void AddElement(std::uint32_t name, bool attached);
    void AddAttribute(std::uint32_t name, std::string_view text, bool attached);
    void AddText(std::string_view text, bool attached);
    void AddEnd();

    /// Bytes held, for tests and measurements.
    std::size_t size() const;

private:
    struct Block {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    /// Room for size contiguous bytes at the end of the last block.
    std::uint8_t* Room(std::size_t size);
    /// Puts a tag byte: kind, attached, and a small payload (0..15).
    static std::uint8_t Tag(Kind kind, bool attached, unsigned payload);

    std::vector<Block> blocks_;
};

}  // namespace dom

}  // namespace dravonix
