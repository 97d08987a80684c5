// Finding the legacy keyboard files of a folder tree.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace dravonix {

/// What a walk of a source tree found.
struct KeyboardTree {
    /// Paths of the keyboard files relative to the root, with "/" between
    /// folders, sorted.
    std::vector<std::string> keyboards;
    /// A place below the root that cannot be read: its path relative to the
    /// root (a folder's ending in "/") and why.
    struct Unreadable {
        std::string relative;
        std::string reason;
    };
    /// Folders that cannot be listed and keyboard files that are no regular
    /// file (a device or a pipe, never opened), sorted.
    std::vector<Unreadable> unreadable;
    /// A line for each place the walk left out on purpose: a link that leads
    /// out of the tree or back into a folder already walked.
    std::vector<std::string> skipped;
};

/// Walks the folder root and everything below it through files. Symbolic
/// links are followed only while they stay inside the tree, and each folder
/// is walked once. False when root itself cannot be listed, with the reason
/// in *error.
[[nodiscard]] bool FindKeyboards(FileSystem& files, const std::string& root, KeyboardTree* tree,
                                 std::string* error);

}  // namespace dravonix
