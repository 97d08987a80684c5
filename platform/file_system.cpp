#include "platform/file_system.h"

namespace dravonix {

namespace {

/// Sets *error (when wanted) to "PATH: reason".
void SetError(std::string* error, const std::string& path, std::string_view reason) {
    if (error == nullptr) return;
    error->assign(path).append(": ").append(reason);
}

}  // namespace

ReadOutcome FileSystem::ReadWholeFile(const std::string& path, std::size_t limit,
                                      std::string* bytes, std::string* error) {
    bytes->clear();
    std::unique_ptr<ReadableFile> file = OpenForReading(path, error);
    if (file == nullptr) return ReadOutcome::kCannotOpen;
    char buffer[65536];
    std::size_t got = 0;
    while (file->Read(buffer, sizeof buffer, &got, error)) {
        if (got == 0) return ReadOutcome::kRead;
        if (got > limit - bytes->size()) {
            bytes->clear();
            if (error != nullptr) *error = TooLargeReason(path, limit);
            return ReadOutcome::kTooLarge;
        }
        bytes->append(buffer, got);
    }
    bytes->clear();
    return ReadOutcome::kFailed;
}

std::string FileSystem::TooLargeReason(const std::string& path, std::size_t limit) {
    return path + ": larger than " + std::to_string(limit) + " bytes";
}

std::string FileSystem::NotAFileReason(const std::string& path) {
    return path + ": not a regular file";
}

FileInfo FileSystem::GetFileInfo(const std::string&) { return FileInfo(); }

bool FileSystem::ResolvePath(const std::string&, std::string*) { return false; }

bool FileSystem::ListFolder(const std::string& path, std::vector<std::string>* names,
                            std::string* error) {
    names->clear();
    SetError(error, path, "folders cannot be listed here");
    return false;
}

bool FileSystem::MakeFolders(const std::string& path, std::string* error) {
    SetError(error, path, "folders cannot be made here");
    return false;
}

std::string FileFailureMessage(std::string_view action, std::string_view path,
                               std::string_view failure) {
    if (failure.size() > path.size() + 2 && failure.starts_with(path) &&
        failure.substr(path.size(), 2) == ": ") {
        failure.remove_prefix(path.size() + 2);
    }
    std::string message = "cannot ";
    message.append(action).append(" '").append(path).append("'");
    if (!failure.empty()) message.append(": ").append(failure);
    return message;
}

}  // namespace dravonix
