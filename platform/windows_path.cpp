// Windows names and error texts.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/windows_path.h"

#include <windows.h>

#include "platform/path_encoding.h"

namespace dravonix {

namespace {

/// The absolute form of path, or path itself when the system cannot make one.
std::wstring FullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD size =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (size >= full.size()) {
        full.resize(size);
        size =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (size == 0 || size >= full.size()) return path;
    full.resize(size);
    return full;
}

}  // namespace

std::wstring LongPathForm(std::wstring_view absolute) {
    const bool drive = absolute.size() >= 3 && absolute[1] == L':' && absolute[2] == L'\\' &&
                       ((absolute[0] >= L'A' && absolute[0] <= L'Z') ||
                        (absolute[0] >= L'a' && absolute[0] <= L'z'));
    if (drive) return L"\\\\?\\" + std::wstring(absolute);
    const bool share = absolute.starts_with(L"\\\\") && absolute.size() > 2 &&
                       absolute[2] != L'?' && absolute[2] != L'.' && absolute[2] != L'\\';
    if (share) return L"\\\\?\\UNC\\" + std::wstring(absolute.substr(2));
    return std::wstring(absolute);
}

bool SystemPath(const std::string& path, std::wstring* wide, std::string* error) {
    std::u16string units;
    if (path.empty() || path.find('\0') != std::string::npos || !PathToUtf16(path, &units)) {
        SetSystemError(error, path, path.empty() ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME);
        return false;
    }
    *wide = LongPathForm(FullPath(std::wstring(units.begin(), units.end())));
    return true;
}

std::string PathFromWide(std::wstring_view wide) {
    return PathFromUtf16(std::u16string(wide.begin(), wide.end()));
}

std::string SystemMessage(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD size = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = size != 0 && buffer != nullptr ? PathFromWide({buffer, size}) : "";
    if (buffer != nullptr) ::LocalFree(buffer);
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text.empty() ? "system error " + std::to_string(code) : text;
}

void SetSystemError(std::string* error, std::string_view context, unsigned long code) {
    if (error == nullptr) return;
    error->assign(context);
    error->append(": ").append(SystemMessage(code));
}

}  // namespace dravonix
