#include "check/input_kind.h"

#include "kbd/file_kind.h"
#include "platform/file_system.h"

namespace dravonix {

namespace {

/// True when path ends in extension (".kbd", in lower case), the path in any
/// letter case.
bool HasExtension(std::string_view path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    const std::string_view end = path.substr(path.size() - extension.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        char c = end[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != extension[i]) return false;
    }
    return true;
}

}  // namespace

std::string_view ReaderName(InputKind kind) { return kind == InputKind::kXml ? "XML" : ".kbd"; }

bool HasKbdExtension(std::string_view path) { return HasExtension(path, ".kbd"); }

InputKind ChooseReader(std::string_view path, std::string_view bytes) {
    if (HasKbdExtension(path)) return InputKind::kKbd;
    const std::string_view start = bytes.substr(0, kKindSniffLength);
    if (HasKeydefLine(start)) return InputKind::kKbd;
    return HasExtension(path, ".xml") || StartsLikeXml(start) ? InputKind::kXml : InputKind::kKbd;
}

InputKind InputKindOf(const std::string& path) {
    if (HasKbdExtension(path)) return InputKind::kKbd;
    std::string start;
    if (!SystemFileSystem().ReadStartOfFile(path, kKindSniffLength, &start)) start.clear();
    return ChooseReader(path, start);
}

bool ReadInputFile(const std::string& path, std::string* bytes, std::string* error,
                   FileSystem& files) {
    std::string reason;
    if (files.ReadStream(path, bytes, &reason)) return true;
    // The system's reason names the path first, which the caller shows anyway.
    const std::string prefix = path + ": ";
    if (reason.starts_with(prefix)) reason.erase(0, prefix.size());
    if (error != nullptr) *error = reason;
    return false;
}

}  // namespace dravonix
