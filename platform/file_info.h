// What a path names, when it was last changed, and making folders: what a
// tool that walks a tree of files and mirrors it into another needs. Paths
// are bytes in the platform's own path encoding, as file_system.h takes them.
#pragma once

#include <cstdint>
#include <string>

namespace dravonix {

/// What a path names.
enum class FileKind { kMissing, kFile, kFolder, kOther };

struct FileInfo {
    FileKind kind = FileKind::kMissing;
    bool link = false;          // the path itself is a symbolic link (or reparse point)
    std::int64_t modified = 0;  // last change, in nanoseconds since an epoch of the system
};

/// Describes path. The kind and time are those of what a link names, and
/// kMissing for a dangling link; link says whether path itself is one.
/// Never fails: what cannot be examined is kMissing.
FileInfo GetFileInfo(const std::string& path);

/// The absolute path of path with every link resolved and no "." or ".."
/// steps, for telling whether a link leads out of a tree. False when path
/// does not exist.
[[nodiscard]] bool ResolvePath(const std::string& path, std::string* resolved);

/// Creates the folder path and any missing folders above it; true when it
/// exists as a folder afterwards. On failure *error (may be null) holds
/// "PATH: reason".
[[nodiscard]] bool MakeFolders(const std::string& path, std::string* error);

/// True when the given standard stream (1 output, 2 error) is a terminal, on
/// which a tool may redraw a progress line.
bool IsTerminal(int stream);

}  // namespace dravonix
