// Reading files on POSIX calls: streams from a file's start, and bounded
// reads of whole regular files that never block on a pipe or a device.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/posix_error.h"
#include "platform/posix_file_system.h"

namespace dravonix {

namespace {

/// A regular file open for reading.
class PosixReadableFile final : public ReadableFile {
public:
    PosixReadableFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixReadableFile() override { ::close(fd_); }
    PosixReadableFile(const PosixReadableFile&) = delete;
    PosixReadableFile& operator=(const PosixReadableFile&) = delete;

    bool Read(char* buffer, std::size_t size, std::size_t* got, std::string* error) override {
        for (;;) {
            ssize_t count = ::read(fd_, buffer, size);
            if (count >= 0) {
                *got = static_cast<std::size_t>(count);
                return true;
            }
            if (errno != EINTR) break;
        }
        *got = 0;
        SetError(error, path_, errno);
        return false;
    }

private:
    int fd_;
    std::string path_;
};

}  // namespace

std::unique_ptr<ReadableFile> PosixFileSystem::OpenForReading(const std::string& path,
                                                              std::string* error) {
    if (path.find('\0') != std::string::npos) {
        SetError(error, path, EINVAL);
        return nullptr;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, path, errno);
        return nullptr;
    }
    struct stat info;
    const int err = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (err != 0) {
        ::close(fd);
        SetError(error, path, err);
        return nullptr;
    }
    return std::make_unique<PosixReadableFile>(fd, path);
}

bool PosixFileSystem::ReadStartOfFile(const std::string& path, std::size_t limit,
                                      std::string* bytes) {
    if (path.find('\0') != std::string::npos) return false;
    // Non-blocking, so that opening a pipe that has no writer returns at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok) {
        bytes->assign(limit, '\0');
        std::size_t filled = 0;
        while (filled < limit) {
            const ssize_t got = ::read(fd, bytes->data() + filled, limit - filled);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                ok = got == 0;
                break;
            }
            filled += static_cast<std::size_t>(got);
        }
        bytes->resize(filled);
    }
    ::close(fd);
    return ok;
}

ReadOutcome PosixFileSystem::ReadWholeFile(const std::string& path, std::size_t limit,
                                           std::string* bytes, std::string* error) {
    bytes->clear();
    if (path.find('\0') != std::string::npos) {
        SetError(error, path, EINVAL);
        return ReadOutcome::kCannotOpen;
    }
    // Non-blocking, so that opening a pipe that has no writer returns at
    // once; it is refused unread like every file that is not a regular one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, path, errno);
        return ReadOutcome::kCannotOpen;
    }
    PosixReadableFile file(fd, path);
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        SetError(error, path, errno);
        return ReadOutcome::kFailed;
    }
    if (S_ISDIR(info.st_mode)) {
        SetError(error, path, EISDIR);
        return ReadOutcome::kNotAFile;
    }
    if (!S_ISREG(info.st_mode)) {
        if (error != nullptr) *error = NotAFileReason(path);
        return ReadOutcome::kNotAFile;
    }
    return ReadToEnd(file, path, static_cast<std::size_t>(info.st_size), limit, bytes, error);
}

}  // namespace dravonix
