#include "batch/keyboard_tree.h"

#include <algorithm>
#include <set>
#include <utility>

#include "check/input_kind.h"
#include "platform/file_info.h"
#include "platform/folder_listing.h"

namespace dravonix {

namespace {

// True when path lies in the folder root (both resolved).
bool IsInside(const std::string& path, const std::string& root) {
    if (path == root) return true;
    if (!path.starts_with(root)) return false;
    const char next = path[root.size()];
    return next == '/' || next == '\\' || root.ends_with('/') || root.ends_with('\\');
}

class TreeWalk {
public:
    TreeWalk(const std::string& root, KeyboardTree* tree) : root_(root), tree_(tree) {
        if (!ResolvePath(root, &resolved_root_)) resolved_root_ = root;
    }

    // Walks the folder at relative ("" for the root); false when it cannot
    // be listed.
    bool Walk(const std::string& relative, std::string* error) {
        const std::string folder = Join(root_, relative);
        std::string resolved;
        if (ResolvePath(folder, &resolved) && !visited_.insert(resolved).second) {
            tree_->skipped.push_back(relative +
                                     ": a folder already walked, reached again by a link");
            return true;
        }
        std::vector<std::string> names;
        if (!ListFolder(folder, &names, error)) return false;
        std::sort(names.begin(), names.end());
        // Entries themselves first, links after, so that a folder also
        // reached by a link inside the tree is walked by its own name.
        for (bool links : {false, true}) {
            for (const std::string& name : names) {
                const std::string entry = relative.empty() ? name : relative + "/" + name;
                const FileInfo info = GetFileInfo(Join(root_, entry));
                if (info.link == links) Visit(entry, name, info);
            }
        }
        return true;
    }

private:
    void Visit(const std::string& entry, const std::string& name, const FileInfo& info) {
        if (info.link && info.kind != FileKind::kMissing && !LeadsInside(Join(root_, entry))) {
            tree_->skipped.push_back(entry + ": a link that leads out of the tree");
            return;
        }
        if (info.kind == FileKind::kFolder) {
            std::string reason;
            if (!Walk(entry, &reason)) tree_->skipped.push_back(reason);
        } else if (HasKbdExtension(name)) {
            // A link that leads nowhere is a keyboard that cannot be read,
            // which the user should hear of; a pipe or a device is never
            // opened, since reading it could wait for ever.
            if (info.kind == FileKind::kFile || (info.link && info.kind == FileKind::kMissing)) {
                tree_->keyboards.push_back(entry);
            } else {
                tree_->skipped.push_back(entry + ": not a regular file");
            }
        }
    }

    static std::string Join(const std::string& root, const std::string& relative) {
        if (relative.empty()) return root;
        if (root.ends_with('/') || root.ends_with('\\')) return root + relative;
        return root + "/" + relative;
    }

    bool LeadsInside(const std::string& path) const {
        std::string resolved;
        return ResolvePath(path, &resolved) && IsInside(resolved, resolved_root_);
    }

    const std::string& root_;
    std::string resolved_root_;
    KeyboardTree* tree_;
    std::set<std::string> visited_;
};

}  // namespace

bool FindKeyboards(const std::string& root, KeyboardTree* tree, std::string* error) {
    TreeWalk walk(root, tree);
    if (!walk.Walk("", error)) return false;
    std::sort(tree->keyboards.begin(), tree->keyboards.end());
    return true;
}

}  // namespace dravonix
