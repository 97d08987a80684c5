// What paths name on POSIX calls: stat and lstat, realpath, listing folders
// with opendir and readdir, making them with mkdir. "/" separates folders.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <system_error>

#include "platform/posix_error.h"
#include "platform/posix_file_system.h"

namespace dravonix {

FileInfo PosixFileSystem::GetFileInfo(const std::string& path) {
    FileInfo info;
    struct stat status;
    if (path.find('\0') != std::string::npos || ::lstat(path.c_str(), &status) != 0) return info;
    info.link = S_ISLNK(status.st_mode);
    if (info.link && ::stat(path.c_str(), &status) != 0) return info;
    info.kind = S_ISREG(status.st_mode)   ? FileKind::kFile
                : S_ISDIR(status.st_mode) ? FileKind::kFolder
                                          : FileKind::kOther;
    info.modified =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    if (info.kind == FileKind::kFile) info.size = static_cast<std::uint64_t>(status.st_size);
    info.identity = {static_cast<std::uint64_t>(status.st_dev),
                     static_cast<std::uint64_t>(status.st_ino)};
    return info;
}

bool PosixFileSystem::ResolvePath(const std::string& path, std::string* resolved) {
    if (path.find('\0') != std::string::npos) return false;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (real == nullptr) return false;
    resolved->assign(real.get());
    return true;
}

bool PosixFileSystem::ListFolder(const std::string& path, std::vector<std::string>* names,
                                 std::string* error) {
    names->clear();
    if (path.find('\0') != std::string::npos) {
        SetError(error, path, EINVAL);
        return false;
    }
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        SetError(error, path, errno);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(folder);
        if (entry == nullptr) break;
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        names->emplace_back(name);
    }
    const int err = errno;
    ::closedir(folder);
    if (err != 0) {
        names->clear();
        SetError(error, path, err);
        return false;
    }
    return true;
}

bool PosixFileSystem::MakeFolders(const std::string& path, std::string* error) {
    if (path.empty()) return true;
    if (path.find('\0') != std::string::npos) {
        SetError(error, path, EINVAL);
        return false;
    }
    if (GetFileInfo(path).kind == FileKind::kFolder) return true;
    const std::size_t slash = path.find_last_of('/', path.size() - 2);
    if (slash != std::string::npos && slash != 0 && !MakeFolders(path.substr(0, slash), error)) {
        return false;
    }
    // Another thread may make the same folder at the same time: that counts.
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    const int err = errno;
    if (err == EEXIST && GetFileInfo(path).kind == FileKind::kFolder) return true;
    SetError(error, path, err);
    return false;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return path.substr(0, slash == 0 ? 1 : slash);
}

bool IsInsideFolder(std::string_view path, std::string_view folder) {
    if (!path.starts_with(folder)) return false;
    return path.size() == folder.size() || folder.ends_with('/') || path[folder.size()] == '/';
}

}  // namespace dravonix
