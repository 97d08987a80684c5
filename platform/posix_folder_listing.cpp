// Listing a folder with opendir and readdir.
#include <dirent.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/folder_listing.h"

namespace dravonix {

bool ListFolder(const std::string& path, std::vector<std::string>* names, std::string* error) {
    names->clear();
    DIR* folder = ::opendir(path.c_str());
    if (folder == nullptr) {
        const int err = errno;
        if (error != nullptr) *error = path + ": " + std::generic_category().message(err);
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
        if (error != nullptr) *error = path + ": " + std::generic_category().message(err);
        return false;
    }
    return true;
}

}  // namespace dravonix
