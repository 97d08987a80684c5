#include "platform/file_system.h"

#include <algorithm>
#include <cstdint>

namespace dravonix {

namespace {

/// The first buffer of a file whose size is not known.
constexpr std::size_t kFirstRead = 64 * 1024;

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
    return ReadToEnd(*file, path, 0, limit, bytes, error);
}

bool FileSystem::ReadStream(const std::string& path, std::string* bytes, std::string* error) {
    bytes->clear();
    std::unique_ptr<ReadableFile> file = OpenForReading(path, error);
    if (file == nullptr) return false;
    const FileInfo info = GetFileInfo(path);
    const std::size_t size_hint = info.kind == FileKind::kFile && info.size < SIZE_MAX
                                      ? static_cast<std::size_t>(info.size)
                                      : 0;
    return ReadToEnd(*file, path, size_hint, SIZE_MAX, bytes, error) == ReadOutcome::kRead;
}

ReadOutcome FileSystem::ReadToEnd(ReadableFile& file, const std::string& path,
                                  std::size_t size_hint, std::size_t limit, std::string* bytes,
                                  std::string* error) {
    // Room for one byte more than the limit tells a file that is too large
    // from one that fills it exactly.
    const std::size_t most = limit == SIZE_MAX ? limit : limit + 1;
    std::size_t filled = 0;
    if (size_hint < most) {
        bytes->resize(size_hint + 1);
        for (;;) {
            if (filled == bytes->size()) {
                if (filled == most) break;
                bytes->resize(filled > most / 2 ? most : std::max(filled * 2, kFirstRead));
            }
            std::size_t got = 0;
            if (!file.Read(bytes->data() + filled, bytes->size() - filled, &got, error)) {
                bytes->clear();
                return ReadOutcome::kFailed;
            }
            if (got == 0) {
                bytes->resize(filled);
                return ReadOutcome::kRead;
            }
            filled += got;
        }
    }
    bytes->clear();
    if (error != nullptr) *error = path + ": larger than " + std::to_string(limit) + " bytes";
    return ReadOutcome::kTooLarge;
}

bool FileSystem::CopyFile(const std::string& from, const std::string& to, std::string* error) {
    // A folder, device or pipe is never opened (a pipe could keep the copy
    // waiting); a missing file gets the system's reason from the opening.
    const FileKind kind = GetFileInfo(from).kind;
    if (kind == FileKind::kFolder || kind == FileKind::kOther) {
        if (error != nullptr) *error = NotAFileReason(from);
        return false;
    }
    std::unique_ptr<ReadableFile> input = OpenForReading(from, error);
    if (input == nullptr) return false;
    std::unique_ptr<OutputFile> output = StartReplacing(to, error);
    if (output == nullptr) return false;
    std::string buffer(kFirstRead, '\0');
    for (;;) {
        std::size_t got = 0;
        if (!input->Read(buffer.data(), buffer.size(), &got, error)) return false;
        if (got == 0) break;
        if (!output->Write(std::string_view(buffer.data(), got), error)) return false;
    }
    return output->Commit(error);
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
