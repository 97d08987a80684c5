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
    /// A line for each place the walk did not enter: a folder it could not
    /// list, a link that leads out of the tree or back into a folder already
    /// walked.
    std::vector<std::string> skipped;
};

/// Walks the folder root and everything below it through files. Symbolic
/// links are followed only while they stay inside the tree, and each folder
/// is walked once. False when root itself cannot be listed, with the reason
/// in *error.
[[nodiscard]] bool FindKeyboards(FileSystem& files, const std::string& root, KeyboardTree* tree,
                                 std::string* error);

}  // namespace dravonix
