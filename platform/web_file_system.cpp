// Files in the web page: the browser's in-memory file system, into which the
// page puts the files the user picked (the panel images beside the
// keyboards), reached through the POSIX calls Emscripten provides. The page
// only reads them: what it makes goes to the user as downloads, never into
// files, so nothing can be saved here.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"

namespace dravonix {

namespace {

/// Sets *error (when wanted) to "path: the system's text for err".
void SetError(std::string* error, std::string_view path, int err) {
    if (error == nullptr) return;
    error->assign(path);
    error->append(": ").append(std::generic_category().message(err));
}

/// Opens path for reading when it names a regular file; -1 with errno set
/// otherwise.
int OpenRegularFile(const std::string& path) {
    if (path.find('\0') != std::string::npos) {
        errno = EINVAL;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return -1;
    struct stat info;
    const int err = ::fstat(fd, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : EISDIR;
    if (err == 0) return fd;
    ::close(fd);
    errno = err;
    return -1;
}

class WebReadableFile final : public ReadableFile {
public:
    WebReadableFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~WebReadableFile() override { ::close(fd_); }
    WebReadableFile(const WebReadableFile&) = delete;
    WebReadableFile& operator=(const WebReadableFile&) = delete;

    bool Read(char* buffer, std::size_t size, std::size_t* got, std::string* error) override {
        const ssize_t count = ::read(fd_, buffer, size);
        *got = count > 0 ? static_cast<std::size_t>(count) : 0;
        if (count < 0) SetError(error, path_, errno);
        return count >= 0;
    }

private:
    int fd_;
    std::string path_;
};

class WebFileSystem final : public FileSystem {
public:
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path,
                                                 std::string* error) override {
        const int fd = OpenRegularFile(path);
        if (fd < 0) {
            SetError(error, path, errno);
            return nullptr;
        }
        return std::make_unique<WebReadableFile>(fd, path);
    }

    bool ReadStartOfFile(const std::string& path, std::size_t limit, std::string* bytes) override {
        const int fd = OpenRegularFile(path);
        if (fd < 0) return false;
        bytes->assign(limit, '\0');
        std::size_t filled = 0;
        ssize_t got = 1;
        while (filled < limit && got > 0) {
            got = ::read(fd, bytes->data() + filled, limit - filled);
            if (got > 0) filled += static_cast<std::size_t>(got);
        }
        ::close(fd);
        bytes->resize(filled);
        return got >= 0;
    }

    std::unique_ptr<OutputFile> StartReplacing(const std::string& path,
                                               std::string* error) override {
        SetError(error, path, EROFS);
        return nullptr;
    }
};

}  // namespace

FileSystem& SystemFileSystem() {
    static WebFileSystem files;
    return files;
}

}  // namespace dravonix
