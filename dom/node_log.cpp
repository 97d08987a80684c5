// The entries of the compact form, in bytes. A tag byte holds the kind (bits
// 0-1), whether the node is attached (bit 2), whether a text is indentation
// (bit 3) and a small payload (bits 4-7: a name id or a count of TABs below
// 15, else 15 and the value follows). Numbers follow as LEB128, texts as
// their length and bytes.
#include "dom/node_log.h"

#include <algorithm>
#include <cstring>

namespace dravonix {

namespace dom {

namespace {

constexpr std::size_t kFirstBlock = 256;
constexpr std::size_t kLargestBlock = std::size_t{1} << 20;
constexpr std::size_t kMaxVarint = 5;  // bytes of a 32-bit number
// The indentation texts of the usual depths, read in place.
constexpr std::string_view kShallow = "\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";

std::uint8_t* PutVarint(std::uint8_t* out, std::uint32_t value) {
    while (value >= 0x80) {
        *out++ = static_cast<std::uint8_t>(value | 0x80);
        value >>= 7;
    }
    *out++ = static_cast<std::uint8_t>(value);
    return out;
}

}  // namespace

std::uint8_t NodeLog::Tag(Kind kind, bool attached, unsigned payload) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(kind) | (attached ? kAttachedBit : 0) |
                                     (std::min(payload, kEscape) << 4));
}

void NodeLog::AddBlock(std::size_t size) {
    const std::size_t last = blocks_.empty() ? 0 : blocks_.back().capacity;
    const std::size_t capacity = std::max(size, std::clamp(2 * last, kFirstBlock, kLargestBlock));
    blocks_.push_back(Block{std::make_unique_for_overwrite<std::uint8_t[]>(capacity), capacity, 0});
}

void NodeLog::AddElement(std::uint32_t name, bool attached) {
    std::uint8_t* const start = Room(1 + kMaxVarint);
    std::uint8_t* out = start;
    *out++ = Tag(Kind::kElement, attached, name);
    if (name >= kEscape) out = PutVarint(out, name);
    blocks_.back().used += static_cast<std::size_t>(out - start);
}

void NodeLog::AddAttribute(std::uint32_t name, std::string_view text, bool attached) {
    std::uint8_t* const start = Room(1 + 2 * kMaxVarint + text.size());
    std::uint8_t* out = start;
    *out++ = Tag(Kind::kAttribute, attached, name);
    if (name >= kEscape) out = PutVarint(out, name);
    out = PutVarint(out, static_cast<std::uint32_t>(text.size()));
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    out += text.size();
    blocks_.back().used += static_cast<std::size_t>(out - start);
}

void NodeLog::AddText(std::string_view text, bool attached) {
    // Indentation, a line feed and TABs, is most of the text a writer makes.
    bool indentation = !text.empty() && text.front() == '\n';
    for (std::size_t i = 1; indentation && i < text.size(); ++i) indentation = text[i] == '\t';
    std::uint8_t* const start = Room(1 + kMaxVarint + (indentation ? 0 : text.size()));
    std::uint8_t* out = start;
    if (indentation) {
        const std::size_t tabs = text.size() - 1;
        *out++ = static_cast<std::uint8_t>(
            Tag(Kind::kText, attached,
                static_cast<unsigned>(std::min(tabs, std::size_t{kEscape}))) |
            kIndentationBit);
        if (tabs >= kEscape) out = PutVarint(out, static_cast<std::uint32_t>(tabs));
    } else {
        *out++ = Tag(Kind::kText, attached, 0);
        out = PutVarint(out, static_cast<std::uint32_t>(text.size()));
        if (!text.empty()) std::memcpy(out, text.data(), text.size());
        out += text.size();
    }
    blocks_.back().used += static_cast<std::size_t>(out - start);
}

void NodeLog::AddEnd() {
    *Room(1) = Tag(Kind::kEnd, true, 0);
    ++blocks_.back().used;
}

std::size_t NodeLog::size() const {
    std::size_t size = 0;
    for (const Block& block : blocks_) size += block.capacity;
    return size;
}

bool NodeLog::Reader::NextBlock() {
    while (block_ < log_.blocks_.size()) {
        const Block& block = log_.blocks_[block_++];
        at_ = block.bytes.get();
        end_ = at_ + block.used;
        if (at_ != end_) return true;
    }
    return false;
}

std::string_view NodeLog::Reader::Indentation(unsigned payload) {
    const std::size_t tabs = payload == kEscape ? Varint() : payload;
    if (tabs < kShallow.size()) return kShallow.substr(0, tabs + 1);
    indentation_.assign(tabs + 1, '\t');
    indentation_[0] = '\n';
    return {indentation_.data(), indentation_.size()};
}

}  // namespace dom

}  // namespace dravonix
