// Serializing a document into a string or a file: UTF-8, no declaration,
// attributes in order with double quotes, empty elements as <name/>, and
// escaping that lets any XML parser give back exactly the tree that was
// built. Putting the file in place is the file system's part.
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "dom/dom_store.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/unicode.h"

namespace dravonix {

namespace {

using dom::kNone;
using dom::NodeRecord;
using dom::Store;

constexpr std::size_t kFlushSize = 256 * 1024;
// A buffer for a string starts small and doubles at each flush up to
// kFlushSize, so that a small document is written without a large allocation.
constexpr std::size_t kFirstStringBuffer = 4 * 1024;
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Collects output in a buffer and hands it to a sink in large pieces.
class Output {
public:
    /// capacity (at most kFlushSize) is the size of the first buffer.
    Output(std::function<bool(std::string_view)> sink, std::size_t capacity)
        : sink_(std::move(sink)),
          buffer_(std::make_unique_for_overwrite<char[]>(capacity)),
          capacity_(capacity) {}
    void Put(std::string_view text) {
        if (text.size() > capacity_ - used_) {
            Flush();
            if (text.size() > capacity_) {  // too large to buffer: hand it on whole
                if (ok_) ok_ = sink_(text);
                return;
            }
        }
        std::memcpy(buffer_.get() + used_, text.data(), text.size());
        used_ += text.size();
    }
    void Put(char c) {
        if (used_ == capacity_) Flush();
        buffer_[used_++] = c;
    }
    /// Where to write at least size more bytes (size <= kFlushSize); Advance
    /// to the end of what was written.
    char* Room(std::size_t size) {
        if (size > capacity_ - used_) {
            Flush();
            if (size > capacity_) Grow(size);
        }
        return buffer_.get() + used_;
    }
    void Advance(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }
    bool Flush() {
        if (ok_ && used_ > 0) ok_ = sink_({buffer_.get(), used_});
        if (used_ > 0 && capacity_ < kFlushSize) Grow(2 * capacity_);
        used_ = 0;
        return ok_;
    }

private:
    /// Replaces the buffer, whose bytes are flushed, by one of at least size bytes.
    void Grow(std::size_t size) {
        const std::size_t capacity = std::min(std::max(size, 2 * capacity_), kFlushSize);
        buffer_ = std::make_unique_for_overwrite<char[]>(capacity);
        capacity_ = capacity;
        used_ = 0;
    }

    std::function<bool(std::string_view)> sink_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

// Bytes that may need escaping: bit 1 in element content, bit 2 in an
// attribute value. Bytes from 0x80 on start a sequence that may be malformed
// or be U+FFFE or U+FFFF.
constexpr std::array<std::uint8_t, 256> kEscapeBytes = [] {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[c] = 3;
    table['\t'] = 2;
    table['\n'] = 2;
    for (unsigned char c : {'&', '<', '>', '\r'}) table[c] = 3;
    table['"'] = 2;
    for (int c = 0x80; c < 0x100; ++c) table[c] = 3;
    return table;
}();

// The replacement of the byte at text[i], which kEscapeBytes marks, in
// element content or an attribute value; empty when the bytes stay as they
// are. *replaced is the number of bytes replaced or kept.
std::string_view Replacement(std::string_view text, std::size_t i, bool attribute,
                             std::size_t* replaced) {
    *replaced = 1;
    const auto c = static_cast<unsigned char>(text[i]);
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return attribute ? "&quot;" : "";
        case '\t':
            return attribute ? "&#9;" : "";
        case '\n':
            return attribute ? "&#10;" : "";
        case '\r':
            return "&#13;";
        default: {
            if (c < 0x20) return kReplacement;  // not a character of XML 1.0
            char32_t code_point = 0;
            const std::size_t size = DecodeUtf8(text.substr(i), &code_point);
            if (size == 0) return kReplacement;  // not UTF-8: a byte at a time
            *replaced = size;
            return code_point == 0xFFFE || code_point == 0xFFFF ? kReplacement : "";
        }
    }
}

// Longest replacement of a single byte ("&quot;").
constexpr std::size_t kMaxGrowth = 6;
// Bytes escaped per slice of the output buffer.
constexpr std::size_t kEscapeSlice = kFlushSize / kMaxGrowth;

// Writes text escaped for element content or for a double-quoted attribute.
// Escapes straight into the output buffer, a slice of the text at a time:
// most texts are a few bytes, so a copy call per text would cost more than
// the bytes themselves.
void PutEscaped(Output& out, std::string_view text, bool attribute) {
    const std::uint8_t mask = attribute ? 2 : 1;
    const char* from = text.data();
    const char* const end = from + text.size();
    while (from < end) {
        const char* const slice_end = from + std::min<std::size_t>(end - from, kEscapeSlice);
        char* to = out.Room(static_cast<std::size_t>(slice_end - from) * kMaxGrowth);
        while (from < slice_end) {
            const char c = *from;
            if ((kEscapeBytes[static_cast<unsigned char>(c)] & mask) == 0) {
                *to++ = c;  // the usual case: a plain byte
                ++from;
                continue;
            }
            std::size_t replaced = 1;
            const std::string_view replacement = Replacement(
                text, static_cast<std::size_t>(from - text.data()), attribute, &replaced);
            if (replacement.empty()) {
                to = std::copy_n(from, replaced, to);
            } else {
                to = std::copy(replacement.begin(), replacement.end(), to);
            }
            from += replaced;  // may end past the slice: the replacement is written
        }
        out.Advance(to);
    }
}

// Writes comment or processing-instruction text so that it cannot end the
// markup early ("--" and "?>" are broken up by a blank).
void PutMarkupText(Output& out, std::string_view text, bool comment) {
    std::string safe;
    safe.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            safe += kReplacement;
            continue;
        }
        if (u >= 0x80) {
            char32_t code_point = 0;
            const std::size_t size = DecodeUtf8(text.substr(i), &code_point);
            if (size == 0 || code_point == 0xFFFE || code_point == 0xFFFF) {
                safe += kReplacement;
            } else {
                safe.append(text.substr(i, size));
            }
            i += size == 0 ? 0 : size - 1;
            continue;
        }
        safe.push_back(c);
        bool breaks = comment ? (c == '-' && (i + 1 == text.size() || text[i + 1] == '-'))
                              : (c == '?' && i + 1 < text.size() && text[i + 1] == '>');
        if (breaks) safe.push_back(' ');
    }
    out.Put(safe);
}

void PutStartTag(Output& out, Store& store, std::uint32_t index) {
    const NodeRecord& node = store.at(index);
    out.Put('<');
    out.Put(store.NameOf(node.name()));
    for (std::uint32_t a = node.tree.first_attribute; a != kNone; a = store.at(a).next) {
        out.Put(' ');
        out.Put(store.NameOf(store.at(a).name()));
        out.Put("=\"");
        PutEscaped(out, store.TextOf(a), true);
        out.Put('"');
    }
    out.Put(node.tree.first_child == kNone ? "/>" : ">");
}

void PutEndTag(Output& out, Store& store, std::uint32_t index) {
    out.Put("</");
    out.Put(store.NameOf(store.at(index).name()));
    out.Put('>');
}

// Writes a document still in its compact form: the entries of its log that
// stand in the tree, in order (entries of nodes made but never put in the
// tree are passed over). A start tag waits for its first child to know
// whether it ends in ">" or "/>".
void SerializeLog(const Store& store, const dom::NodeLog& log, Output& out) {
    // The markup around each name, made once per name: "<name", " name=\""
    // and "</name>".
    std::vector<std::string> start_tags, attribute_starts, end_tags;
    const auto markup = [&](std::uint32_t name) {
        if (name >= start_tags.size()) {
            for (std::uint32_t id = static_cast<std::uint32_t>(start_tags.size()); id <= name;
                 ++id) {
                const std::string& text = store.NameOf(id);
                start_tags.push_back("<" + text);
                attribute_starts.push_back(" " + text + "=\"");
                end_tags.push_back("</" + text + ">");
            }
        }
    };
    std::vector<std::uint32_t> open;  // names of the elements not yet ended
    bool start_tag_open = false;      // open.back()'s start tag waits for its end
    const auto end_element = [&] {
        if (start_tag_open) {
            out.Put("/>");
            start_tag_open = false;
        } else {
            out.Put(end_tags[open.back()]);
        }
        open.pop_back();
    };
    dom::NodeLog::Reader reader(log);
    dom::NodeLog::Entry entry;
    while (reader.Next(&entry)) {
        if (!entry.attached) continue;
        switch (entry.kind) {
            case dom::NodeLog::Kind::kElement:
                if (start_tag_open) out.Put('>');
                markup(entry.name);
                out.Put(start_tags[entry.name]);
                open.push_back(entry.name);
                start_tag_open = true;
                break;
            case dom::NodeLog::Kind::kAttribute:
                markup(entry.name);
                out.Put(attribute_starts[entry.name]);
                PutEscaped(out, entry.text, true);
                out.Put('"');
                break;
            case dom::NodeLog::Kind::kText:
                if (start_tag_open) out.Put('>');
                start_tag_open = false;
                PutEscaped(out, entry.text, false);
                break;
            case dom::NodeLog::Kind::kEnd:
                end_element();
                break;
        }
    }
    while (!open.empty()) end_element();
}

// Writes every child of the document node, depth first, without recursion.
HRESULT Serialize(Store& store, Output& out) {
    if (!store.HasRoot()) return E_FAIL;
    if (const dom::NodeLog* log = store.log()) {
        SerializeLog(store, *log, out);
        return S_OK;
    }
    std::uint32_t n = store.at(0).tree.first_child;
    while (n != kNone) {
        const NodeRecord& node = store.at(n);
        switch (node.type()) {
            case NODE_ELEMENT:
                PutStartTag(out, store, n);
                if (node.tree.first_child != kNone) {
                    n = node.tree.first_child;
                    continue;
                }
                break;
            case NODE_TEXT:
                PutEscaped(out, store.TextOf(n), false);
                break;
            case NODE_COMMENT:
                out.Put("<!--");
                PutMarkupText(out, store.TextOf(n), true);
                out.Put("-->");
                break;
            case NODE_PROCESSING_INSTRUCTION:
                out.Put("<?");
                out.Put(store.NameOf(node.name()));
                if (node.text.size > 0) {
                    out.Put(' ');
                    PutMarkupText(out, store.TextOf(n), false);
                }
                out.Put("?>");
                break;
            default:
                break;
        }
        // Close finished elements until one has a next sibling.
        while (n != kNone && store.at(n).next == kNone) {
            n = store.at(n).parent;
            if (n == 0) return S_OK;
            PutEndTag(out, store, n);
        }
        if (n != kNone) n = store.at(n).next;
    }
    return S_OK;
}

}  // namespace

HRESULT DomDocument::SaveToString(std::string* text) const {
    if (text == nullptr) return E_POINTER;
    if (store_ == nullptr) return E_UNEXPECTED;
    std::string result;
    Output out(
        [&result](std::string_view data) {
            result.append(data);
            return true;
        },
        kFirstStringBuffer);
    HRESULT status = Serialize(*store_, out);
    if (Failed(status)) return status;
    out.Flush();
    *text = std::move(result);
    return S_OK;
}

HRESULT DomDocument::SaveToSink(const std::function<bool(std::string_view)>& sink) const {
    if (store_ == nullptr) return E_UNEXPECTED;
    Output out(sink, kFirstStringBuffer);
    HRESULT status = Serialize(*store_, out);
    if (Failed(status)) return status;
    return out.Flush() ? S_OK : E_FAIL;
}

HRESULT DomDocument::save(const Variant& destination) const {
    return save(destination, SystemFileSystem(), nullptr);
}

HRESULT DomDocument::save(const Variant& destination, FileSystem& files, std::string* error) const {
    if (store_ == nullptr) return E_UNEXPECTED;
    if (destination.vt != VT_BSTR) return E_INVALIDARG;
    // Paths are narrow bytes; the code page gives every byte back unchanged.
    std::string path = WideCharToMultiByte(destination.bstrVal);
    if (path.empty() || path.find('\0') != std::string::npos) return E_INVALIDARG;
    if (!store_->HasRoot()) {
        if (error != nullptr) *error = path + ": the document has no root element";
        return E_FAIL;
    }
    // Running out of memory part way is a failure like any other: the
    // output's destructor then removes what was written.
    try {
        std::unique_ptr<OutputFile> output = files.StartReplacing(path, error);
        if (output == nullptr) return E_FAIL;
        Output out([&output, error](std::string_view data) { return output->Write(data, error); },
                   kFlushSize);
        HRESULT status = Serialize(*store_, out);
        if (Failed(status)) return status;
        if (!out.Flush()) return E_FAIL;
        return output->Commit(error) ? S_OK : E_FAIL;
    } catch (const std::bad_alloc&) {
        if (error != nullptr) error->clear();  // the reason in words is "out of memory"
        return E_OUTOFMEMORY;
    }
}

}  // namespace dravonix
