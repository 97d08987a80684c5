#include "check/input_kind.h"

#include <memory>

#include "kbd/file_kind.h"
#include "platform/file_system.h"

namespace dravonix {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool HasKbdExtension(std::string_view path) {
    if (path.size() < 4) return false;
    std::string_view end = path.substr(path.size() - 4);
    if (end[0] != '.') return false;
    const char* kbd = "kbd";
    for (int i = 0; i < 3; ++i) {
        char c = end[static_cast<std::size_t>(i) + 1];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kbd[i]) return false;
    }
    return true;
}

InputKind ChooseReader(std::string_view path, std::string_view bytes) {
    if (HasKbdExtension(path)) return InputKind::kKbd;
    return LooksLikeXml(bytes.substr(0, kKindSniffLength)) ? InputKind::kXml : InputKind::kKbd;
}

bool ReadInputFile(const std::string& path, std::string* bytes, std::string* error,
                   FileSystem& files) {
    std::string reason;
    std::unique_ptr<ReadableFile> file = files.OpenForReading(path, &reason);
    if (file != nullptr) {
        char buffer[65536];
        std::size_t got = 0;
        while (file->Read(buffer, sizeof buffer, &got, &reason)) {
            if (got == 0) return true;
            bytes->append(buffer, got);
        }
    }
    // The system's reason names the path first, which the caller shows anyway.
    const std::string prefix = path + ": ";
    if (StartsWith(reason, prefix)) reason.erase(0, prefix.size());
    if (error != nullptr) *error = reason;
    return false;
}

}  // namespace dravonix
