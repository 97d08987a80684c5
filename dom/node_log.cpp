// The entries of the compact form, in bytes. A tag byte holds the kind (bits
// 0-1), whether the node is attached (bit 2), a flag (bit 3: an attribute
// whose text is an integer; a text that is indentation) and a small payload
// (bits 4-7: a name id or a count of TABs below 15, else 15 and the value
// follows). Numbers follow as LEB128, signed ones zigzag-coded; texts as
// their length and bytes.
#include "dom/node_log.h"

#include <algorithm>
#include <cstring>

#include "platform/variant.h"

namespace dravonix {

namespace dom {

namespace {

constexpr std::uint8_t kAttachedBit = 0x04;
constexpr std::uint8_t kFlagBit = 0x08;
constexpr unsigned kEscape = 15;
constexpr std::size_t kFirstBlock = 256;
constexpr std::size_t kLargestBlock = std::size_t{1} << 20;
constexpr std::size_t kMaxVarint = 5;  // bytes of a 32-bit number

std::uint8_t* PutVarint(std::uint8_t* out, std::uint32_t value) {
    while (value >= 0x80) {
        *out++ = static_cast<std::uint8_t>(value | 0x80);
        value >>= 7;
    }
    *out++ = static_cast<std::uint8_t>(value);
    return out;
}

std::uint32_t GetVarint(const std::uint8_t*& in) {
    std::uint32_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        const std::uint8_t byte = *in++;
        value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return value;
    }
}

// The number a decimal text stands for when the text is exactly the form
// FormatDecimal writes for it.
bool CanonicalInteger(std::string_view text, std::int32_t* value) {
    if (text.empty() || text.size() > kMaxDecimalSize) return false;
    std::size_t i = text.front() == '-' ? 1 : 0;
    if (i == text.size() || (text[i] == '0' && text.size() != 1)) return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
    }
    const std::int64_t signed_value = text.front() == '-' ? -magnitude : magnitude;
    if (signed_value < INT32_MIN || signed_value > INT32_MAX) return false;
    *value = static_cast<std::int32_t>(signed_value);
    return true;
}

}  // namespace

std::uint8_t NodeLog::Tag(Kind kind, bool attached, unsigned payload) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(kind) | (attached ? kAttachedBit : 0) |
                                     (std::min(payload, kEscape) << 4));
}

std::uint8_t* NodeLog::Room(std::size_t size) {
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < size) {
        const std::size_t last = blocks_.empty() ? 0 : blocks_.back().capacity;
        const std::size_t capacity =
            std::max(size, std::clamp(2 * last, kFirstBlock, kLargestBlock));
        blocks_.push_back(
            Block{std::make_unique_for_overwrite<std::uint8_t[]>(capacity), capacity, 0});
    }
    Block& block = blocks_.back();
    return block.bytes.get() + block.used;
}

void NodeLog::AddElement(std::uint32_t name, bool attached) {
    std::uint8_t* const start = Room(1 + kMaxVarint);
    std::uint8_t* out = start;
    *out++ = Tag(Kind::kElement, attached, name);
    if (name >= kEscape) out = PutVarint(out, name);
    blocks_.back().used += static_cast<std::size_t>(out - start);
}

void NodeLog::AddAttribute(std::uint32_t name, std::string_view text, bool attached) {
    std::int32_t number = 0;
    const bool integer = CanonicalInteger(text, &number);
    std::uint8_t* const start = Room(1 + 2 * kMaxVarint + (integer ? 0 : text.size()));
    std::uint8_t* out = start;
    *out = Tag(Kind::kAttribute, attached, name);
    if (integer) *out |= kFlagBit;
    ++out;
    if (name >= kEscape) out = PutVarint(out, name);
    if (integer) {
        // Zigzag: small numbers of either sign take one byte.
        const auto bits = static_cast<std::uint32_t>(number);
        out = PutVarint(out, (bits << 1) ^ (number < 0 ? 0xFFFFFFFFu : 0u));
    } else {
        out = PutVarint(out, static_cast<std::uint32_t>(text.size()));
        if (!text.empty()) std::memcpy(out, text.data(), text.size());
        out += text.size();
    }
    blocks_.back().used += static_cast<std::size_t>(out - start);
}

void NodeLog::AddText(std::string_view text, bool attached) {
    const bool indentation = !text.empty() && text.front() == '\n' &&
                             text.find_first_not_of('\t', 1) == std::string_view::npos;
    std::uint8_t* const start = Room(1 + kMaxVarint + (indentation ? 0 : text.size()));
    std::uint8_t* out = start;
    if (indentation) {
        const std::size_t tabs = text.size() - 1;
        *out++ = static_cast<std::uint8_t>(
            Tag(Kind::kText, attached,
                static_cast<unsigned>(std::min(tabs, std::size_t{kEscape}))) |
            kFlagBit);
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

bool NodeLog::Reader::Next(Entry* entry) {
    while (block_ < log_.blocks_.size() && at_ == log_.blocks_[block_].used) {
        ++block_;
        at_ = 0;
    }
    if (block_ == log_.blocks_.size()) return false;
    const std::uint8_t* in = log_.blocks_[block_].bytes.get() + at_;
    const std::uint8_t* const start = in;
    const std::uint8_t tag = *in++;
    const unsigned payload = tag >> 4;
    entry->kind = static_cast<Kind>(tag & 0x03);
    entry->attached = (tag & kAttachedBit) != 0;
    const bool flag = (tag & kFlagBit) != 0;
    entry->name = 0;
    entry->text = {};
    switch (entry->kind) {
        case Kind::kElement:
            entry->name = payload == kEscape ? GetVarint(in) : payload;
            break;
        case Kind::kAttribute:
            entry->name = payload == kEscape ? GetVarint(in) : payload;
            if (flag) {
                const std::uint32_t zigzag = GetVarint(in);
                const auto number = static_cast<std::int32_t>((zigzag >> 1) ^ (0u - (zigzag & 1u)));
                entry->text = {digits_,
                               static_cast<std::size_t>(FormatDecimal(number, digits_) - digits_)};
            } else {
                const std::size_t size = GetVarint(in);
                entry->text = {reinterpret_cast<const char*>(in), size};
                in += size;
            }
            break;
        case Kind::kText:
            if (flag) {
                const std::size_t tabs = payload == kEscape ? GetVarint(in) : payload;
                indentation_.assign(tabs + 1, '\t');
                indentation_[0] = '\n';
                entry->text = {indentation_.data(), indentation_.size()};
            } else {
                const std::size_t size = GetVarint(in);
                entry->text = {reinterpret_cast<const char*>(in), size};
                in += size;
            }
            break;
        case Kind::kEnd:
            break;
    }
    at_ += static_cast<std::size_t>(in - start);
    return true;
}

}  // namespace dom

}  // namespace dravonix
