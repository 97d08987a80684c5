#include "kbd/file_kind.h"

namespace dravonix {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kWhitespace = " \t\r\n\v\f";

}  // namespace

bool HasKeydefLine(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        const std::size_t start = line.find_first_not_of(" \t");
        if (start != std::string_view::npos && line.substr(start).starts_with("[KEYDEF]")) {
            return true;
        }
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return false;
}

bool LooksLikeXml(std::string_view bytes) {
    std::string_view rest = bytes;
    if (rest.starts_with(kByteOrderMark)) rest.remove_prefix(kByteOrderMark.size());
    const std::size_t start = rest.find_first_not_of(kWhitespace);
    return start != std::string_view::npos && rest[start] == '<' && !HasKeydefLine(bytes);
}

}  // namespace dravonix
