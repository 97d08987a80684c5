// File information on the wide Windows calls.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <io.h>
#include <windows.h>

#include <string>

#include "platform/file_info.h"
#include "platform/path_encoding.h"

namespace dravonix {

namespace {

bool ToWide(const std::string& path, std::wstring* wide) {
    std::u16string units;
    if (path.empty() || path.find('\0') != std::string::npos || !PathToUtf16(path, &units)) {
        return false;
    }
    wide->assign(units.begin(), units.end());
    return true;
}

}  // namespace

FileInfo GetFileInfo(const std::string& path) {
    FileInfo info;
    std::wstring wide;
    if (!ToWide(path, &wide)) return info;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return info;
    info.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (info.link) {
        // What the link names: opened through it.
        HANDLE handle =
            ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return info;
        BY_HANDLE_FILE_INFORMATION target;
        const bool ok = ::GetFileInformationByHandle(handle, &target);
        ::CloseHandle(handle);
        if (!ok) return info;
        data.dwFileAttributes = target.dwFileAttributes;
        data.ftLastWriteTime = target.ftLastWriteTime;
    }
    info.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kFolder
                : (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0  ? FileKind::kOther
                                                                        : FileKind::kFile;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime;
    info.modified = static_cast<std::int64_t>(ticks) * 100;  // 100 ns ticks since 1601
    return info;
}

bool ResolvePath(const std::string& path, std::string* resolved) {
    std::wstring wide;
    if (!ToWide(path, &wide)) return false;
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
    *resolved = PathFromUtf16(std::u16string(final_path.begin(), final_path.end()));
    return true;
}

bool MakeFolders(const std::string& path, std::string* error) {
    if (path.empty()) return true;
    if (GetFileInfo(path).kind == FileKind::kFolder) return true;
    const std::size_t slash = path.find_last_of("/\\", path.size() - 2);
    if (slash != std::string::npos && slash != 0 && path[slash - 1] != ':' &&
        !MakeFolders(path.substr(0, slash), error)) {
        return false;
    }
    std::wstring wide;
    if (!ToWide(path, &wide)) {
        if (error != nullptr) *error = path + ": not a valid name";
        return false;
    }
    if (!::CreateDirectoryW(wide.c_str(), nullptr)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_ALREADY_EXISTS && GetFileInfo(path).kind == FileKind::kFolder) {
            return true;
        }
        if (error != nullptr) *error = path + ": system error " + std::to_string(code);
        return false;
    }
    return true;
}

bool IsTerminal(int stream) { return ::_isatty(stream) != 0; }

}  // namespace dravonix
