// File information on POSIX calls: stat, lstat, realpath, mkdir.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <system_error>

#include "platform/file_info.h"

namespace dravonix {

FileInfo GetFileInfo(const std::string& path) {
    FileInfo info;
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0) return info;
    info.link = S_ISLNK(status.st_mode);
    if (info.link && ::stat(path.c_str(), &status) != 0) return info;
    info.kind = S_ISREG(status.st_mode)   ? FileKind::kFile
                : S_ISDIR(status.st_mode) ? FileKind::kFolder
                                          : FileKind::kOther;
    info.modified =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return info;
}

bool ResolvePath(const std::string& path, std::string* resolved) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (real == nullptr) return false;
    resolved->assign(real.get());
    return true;
}

bool MakeFolders(const std::string& path, std::string* error) {
    if (path.empty()) return true;
    if (GetFileInfo(path).kind == FileKind::kFolder) return true;
    const std::size_t slash = path.find_last_of('/', path.size() - 2);
    if (slash != std::string::npos && slash != 0 && !MakeFolders(path.substr(0, slash), error)) {
        return false;
    }
    // Another thread may make the same folder at the same time: that counts.
    if (::mkdir(path.c_str(), 0777) != 0 &&
        !(errno == EEXIST && GetFileInfo(path).kind == FileKind::kFolder)) {
        const int err = errno;
        if (error != nullptr) *error = path + ": " + std::generic_category().message(err);
        return false;
    }
    return true;
}

bool IsTerminal(int stream) { return ::isatty(stream) == 1; }

}  // namespace dravonix
