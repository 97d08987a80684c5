// Listing the entries of a folder. Paths and names are bytes in the
// platform's own path encoding, as platform/file_system.h takes them.
#pragma once

#include <string>
#include <vector>

namespace dravonix {

/// Sets *names to the names of the entries of the folder at path (files and
/// folders alike, without "." and ".."), in no particular order. False when
/// the folder cannot be listed, with the reason ("PATH: reason") in *error
/// (may be null); *names is then empty.
[[nodiscard]] bool ListFolder(const std::string& path, std::vector<std::string>* names,
                              std::string* error);

}  // namespace dravonix
