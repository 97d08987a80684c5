// What paths name on the wide Windows calls: file information by handle,
// final paths, listing folders with FindFirstFileW, making them with
// CreateDirectoryW. "\" and "/" separate folders.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows_file_system.h"
#include "platform/windows_path.h"

namespace dravonix {

namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FileKind KindOf(DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileKind::kFolder;
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return FileKind::kOther;
    return FileKind::kFile;
}

}  // namespace

std::int64_t NanosecondsFromFileTime(std::uint64_t ticks) {
    constexpr std::uint64_t kTicksTo1970 = 116444736000000000;  // 1601 to 1970
    constexpr std::uint64_t kMostTicks = std::numeric_limits<std::int64_t>::max() / 100;
    if (ticks >= kTicksTo1970) {
        const std::uint64_t after = ticks - kTicksTo1970;
        if (after > kMostTicks) return std::numeric_limits<std::int64_t>::max();
        return static_cast<std::int64_t>(after) * 100;
    }
    const std::uint64_t before = kTicksTo1970 - ticks;
    if (before > kMostTicks) return std::numeric_limits<std::int64_t>::min();
    return -static_cast<std::int64_t>(before) * 100;
}

FileInfo WindowsFileSystem::GetFileInfo(const std::string& path) {
    FileInfo info;
    std::wstring wide;
    if (!SystemPath(path, &wide, nullptr)) return info;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return info;
    info.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    // What the path names, through a link: opened, which gives its identity.
    HANDLE handle =
        ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION target;
    const bool opened = handle != INVALID_HANDLE_VALUE;
    const bool described = opened && ::GetFileInformationByHandle(handle, &target);
    if (opened) ::CloseHandle(handle);
    if (described) {
        data.dwFileAttributes = target.dwFileAttributes;
        data.ftLastWriteTime = target.ftLastWriteTime;
        data.nFileSizeHigh = target.nFileSizeHigh;
        data.nFileSizeLow = target.nFileSizeLow;
        info.identity = {
            target.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(target.nFileIndexHigh) << 32) | target.nFileIndexLow};
    } else if (info.link) {
        return info;  // a link that leads nowhere
    }
    info.kind = KindOf(data.dwFileAttributes);
    info.modified = NanosecondsFromFileTime(Ticks(data.ftLastWriteTime));
    if (info.kind == FileKind::kFile) {
        info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return info;
}

bool WindowsFileSystem::ResolvePath(const std::string& path, std::string* resolved) {
    std::wstring wide;
    if (!SystemPath(path, &wide, nullptr)) return false;
    HANDLE handle =
        ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    std::wstring final_path(MAX_PATH, L'\0');
    DWORD size = ::GetFinalPathNameByHandleW(handle, final_path.data(),
                                             static_cast<DWORD>(final_path.size()), 0);
    if (size >= final_path.size()) {
        final_path.resize(size);
        size = ::GetFinalPathNameByHandleW(handle, final_path.data(),
                                           static_cast<DWORD>(final_path.size()), 0);
    }
    ::CloseHandle(handle);
    if (size == 0 || size >= final_path.size()) return false;
    final_path.resize(size);
    *resolved = PathFromWide(final_path);
    return true;
}

bool WindowsFileSystem::ListFolder(const std::string& path, std::vector<std::string>* names,
                                   std::string* error) {
    names->clear();
    std::wstring pattern;
    if (!SystemPath(path, &pattern, error)) return false;
    if (!pattern.ends_with(L'\\')) pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        SetSystemError(error, path, ::GetLastError());
        return false;
    }
    do {
        const std::wstring_view name(found.cFileName);
        if (name == L"." || name == L"..") continue;
        names->push_back(PathFromWide(name));
    } while (::FindNextFileW(search, &found));
    const DWORD failure = ::GetLastError();
    ::FindClose(search);
    if (failure != ERROR_NO_MORE_FILES) {
        names->clear();
        SetSystemError(error, path, failure);
        return false;
    }
    return true;
}

bool WindowsFileSystem::MakeFolders(const std::string& path, std::string* error) {
    if (path.empty()) return true;
    if (GetFileInfo(path).kind == FileKind::kFolder) return true;
    const std::size_t slash = path.find_last_of("/\\", path.size() - 2);
    if (slash != std::string::npos && slash != 0 && path[slash - 1] != ':' &&
        !MakeFolders(path.substr(0, slash), error)) {
        return false;
    }
    std::wstring wide;
    if (!SystemPath(path, &wide, error)) return false;
    if (::CreateDirectoryW(wide.c_str(), nullptr)) return true;
    // Another thread may make the same folder at the same time: that counts.
    const DWORD code = ::GetLastError();
    if (code == ERROR_ALREADY_EXISTS && GetFileInfo(path).kind == FileKind::kFolder) return true;
    SetSystemError(error, path, code);
    return false;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return "";
    // A root keeps its separator: "\x.kbd", "C:\x.kbd".
    if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

bool IsInsideFolder(std::string_view path, std::string_view folder) {
    if (!path.starts_with(folder)) return false;
    if (path.size() == folder.size()) return true;
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    return (!folder.empty() && separator(folder.back())) || separator(path[folder.size()]);
}

}  // namespace dravonix
