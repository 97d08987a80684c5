// Listing a folder with FindFirstFileW and FindNextFileW, by its UTF-16 name.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_listing.h"
#include "platform/path_encoding.h"

namespace dravonix {

namespace {

/// Sets *error (when wanted) to "path: system error CODE".
void SetError(std::string* error, const std::string& path, DWORD code) {
    if (error != nullptr) *error = path + ": system error " + std::to_string(code);
}

}  // namespace

bool ListFolder(const std::string& path, std::vector<std::string>* names, std::string* error) {
    names->clear();
    std::u16string pattern;
    if (path.find('\0') != std::string::npos || !PathToUtf16(path, &pattern)) {
        SetError(error, path, ERROR_INVALID_NAME);
        return false;
    }
    if (!pattern.empty() && pattern.back() != u'\\' && pattern.back() != u'/') pattern += u'\\';
    pattern += u'*';
    const std::wstring wide(pattern.begin(), pattern.end());
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        SetError(error, path, ::GetLastError());
        return false;
    }
    DWORD failure = 0;
    do {
        const std::u16string_view name(reinterpret_cast<const char16_t*>(found.cFileName));
        if (name == u"." || name == u"..") continue;
        names->push_back(PathFromUtf16(name));
    } while (::FindNextFileW(search, &found));
    failure = ::GetLastError();
    ::FindClose(search);
    if (failure != ERROR_NO_MORE_FILES) {
        names->clear();
        SetError(error, path, failure);
        return false;
    }
    return true;
}

}  // namespace dravonix
