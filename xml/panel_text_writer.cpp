#include "xml/panel_text_writer.h"

#include <algorithm>
#include <utility>

#include "xml/keyboard_file.h"

namespace dravonix {

bool PanelTextWriter::Append(SubKeyDefinition& panel, bool first, std::string& out,
                             std::string* error) {
    // The panel's document is the keyboard's with this one panel: its text
    // is the keyboard's start tag, the panel's text, and kEnd. The start tag
    // ends at the first '>' (one in the name is escaped); the first
    // document this writer makes gives it, and every other one has it too.
    KeyDefDocument one;
    one.code_page = page_;
    one.keydef.name = name_;
    one.keydef.subkeydef.push_back(std::move(panel));
    const std::size_t start = out.size();
    const bool learn_head = head_.empty();
    std::size_t head_seen = 0;
    bool in_head = true;
    bool framed = true;
    const auto take = [&](std::string_view piece) {
        while (in_head && !piece.empty()) {
            std::size_t size = piece.size();
            if (learn_head) {
                const std::size_t end = piece.find('>');
                if (end != std::string_view::npos) size = end + 1;
                head_.append(piece.substr(0, size));
                in_head = end == std::string_view::npos;
            } else {
                size = std::min(size, head_.size() - head_seen);
                if (piece.substr(0, size) != std::string_view(head_).substr(head_seen, size)) {
                    framed = false;
                    return false;
                }
                head_seen += size;
                in_head = head_seen < head_.size();
            }
            piece.remove_prefix(size);
        }
        out.append(piece);
        return true;
    };
    const bool saved = SaveToSink(one, take);
    panel = std::move(one.keydef.subkeydef.front());
    const bool ends = out.size() >= start + kEnd.size() && std::string_view(out).ends_with(kEnd);
    if (!saved || in_head || !ends) {
        if (learn_head) head_.clear();
        out.resize(start);
        if (error != nullptr) {
            *error = saved || !framed ? "internal error: a panel's document does not frame it "
                                        "as the keyboard's document does"
                                      : "no document could be created";
        }
        return false;
    }
    out.resize(out.size() - kEnd.size());
    if (first) out.insert(start, head_);
    return true;
}

}  // namespace dravonix
