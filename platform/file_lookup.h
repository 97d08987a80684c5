// Finding the file that a name written in a keyboard means, the way Windows
// reads such a name: "\" and "/" separate folders, "." and ".." steps are
// taken on the name itself before any folder is looked at, and every part
// matches an entry of its folder whatever its letter case. A keyboard is
// untrusted input: a lookup never leads out of the folder tree it is given,
// by a ".." step or by a symbolic link on the way.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace dravonix {

/// How a lookup ended.
enum class LookupOutcome {
    kFound,          // the name leads to an entry: a file, or a folder, device or pipe
    kNotFound,       // some part has no entry, or the name is empty, absolute (a drive
                     // letter or a leading separator) or ends in a folder step
    kOutsideFolder,  // a ".." step or a link on the way leads out of the tree
};

/// What a lookup found.
struct FoundFile {
    LookupOutcome outcome = LookupOutcome::kNotFound;
    std::string path;           // the entry: the tree's root joined with the entries'
                                // own names, in the platform's path encoding
    std::string relative;       // the same below the root, "/" between parts
    bool case_differs = false;  // some part matched an entry only ignoring letter case
    FileInfo info;              // what path names (links followed)
};

/// Looks names up below one folder tree through a file system, keeping each
/// folder's listing for the names that follow. Not safe for use by two
/// threads at once; each thread may have its own.
class FileLookup {
public:
    /// Looks up names below root, a folder in the platform's path encoding
    /// ("" for the current one).
    FileLookup(FileSystem& files, std::string root);

    /// Finds what name (UTF-8, as a keyboard writes it) means when read from
    /// the folder from below the root (its path relative to the root, "/"
    /// between the parts, "" for the root itself): each part matches an
    /// entry of exactly that name, or else the first in byte order of those
    /// that differ from it only in letter case.
    FoundFile Find(std::string_view from, std::string_view name);

private:
    /// The sorted names of the entries of the folder at path; empty when it
    /// cannot be listed.
    const std::vector<std::string>& Listing(const std::string& path);

    FileSystem& files_;
    std::string root_;
    std::string resolved_root_;  // root with every link resolved, once looked up
    bool root_resolved_ = false;
    std::map<std::string, std::vector<std::string>> listings_;
};

}  // namespace dravonix
