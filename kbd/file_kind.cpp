#include "kbd/file_kind.h"

#include <string>

#include "kbd/kbd_state.h"
#include "kbd/line_reader.h"
#include "platform/memory_file.h"

namespace dravonix {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kWhitespace = " \t\r\n\v\f";

}  // namespace

bool HasKeydefLine(std::string_view bytes) {
    // The reader's own line loop and marker table: whatever line it would
    // open a KEYDEF block with counts, however it is spelled around it.
    MemoryFile file(bytes);
    LineReader reader(file);
    std::string raw;
    while (reader.Read(raw)) {
        if (!FindKbdMarker(KbdLineState::OutsideKeydef, CleanLine(raw)).empty()) return true;
    }
    return false;
}

bool StartsLikeXml(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    const std::size_t start = bytes.find_first_not_of(kWhitespace);
    return start != std::string_view::npos && bytes[start] == '<';
}

bool LooksLikeXml(std::string_view bytes) { return StartsLikeXml(bytes) && !HasKeydefLine(bytes); }

}  // namespace dravonix
