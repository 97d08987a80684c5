// An in-memory file with a path, so that readers that open a path can be fed
// the fuzzer's bytes without touching the disk.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace dravonix {

/// An anonymous memory file reachable under /proc/self/fd. Every opening of
/// the path starts at the beginning of the current content.
class MemoryFile {
public:
    MemoryFile() {
        fd_ = ::memfd_create("dravonix-fuzz-input", MFD_CLOEXEC);
        if (fd_ < 0) Fail("memfd_create");
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { ::close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    /// Replaces the content with size bytes at data.
    void Write(const std::uint8_t* data, std::size_t size) {
        if (::ftruncate(fd_, 0) != 0) Fail("ftruncate");
        std::size_t done = 0;
        while (done < size) {
            ssize_t written = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (written <= 0) Fail("pwrite");
            done += static_cast<std::size_t>(written);
        }
    }

    const std::string& path() const { return path_; }

private:
    // The harness itself failed: stop rather than report a false finding.
    [[noreturn]] static void Fail(const char* what) {
        std::perror(what);
        std::exit(2);
    }

    int fd_ = -1;
    std::string path_;
};

}  // namespace dravonix
