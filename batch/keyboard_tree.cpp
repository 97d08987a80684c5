#include "batch/keyboard_tree.h"

#include <algorithm>
#include <set>
#include <utility>

#include "check/input_kind.h"

namespace dravonix {

namespace {

class TreeWalk {
public:
    TreeWalk(FileSystem& files, const std::string& root, KeyboardTree* tree)
        : files_(files), root_(root), tree_(tree) {
        if (!files_.ResolvePath(root, &resolved_root_)) resolved_root_ = root;
    }

    // Walks the folder at relative ("" for the root); false when it cannot
    // be listed.
    bool Walk(const std::string& relative, std::string* error) {
        const std::string folder = Join(root_, relative);
        std::string resolved;
        if (files_.ResolvePath(folder, &resolved) && !visited_.insert(resolved).second) {
            tree_->skipped.push_back(relative +
                                     ": a folder already walked, reached again by a link");
            return true;
        }
        std::vector<std::string> names;
        if (!files_.ListFolder(folder, &names, error)) return false;
        std::sort(names.begin(), names.end());
        // Entries themselves first, links after, so that a folder also
        // reached by a link inside the tree is walked by its own name.
        for (bool links : {false, true}) {
            for (const std::string& name : names) {
                const std::string entry = relative.empty() ? name : relative + "/" + name;
                const FileInfo info = files_.GetFileInfo(Join(root_, entry));
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
            if (!Walk(entry, &reason)) {
                tree_->unreadable.push_back(
                    {entry + "/",
                     FileFailureMessage("read the folder", Join(root_, entry), reason)});
            }
        } else if (HasKbdExtension(name)) {
            // A link that leads nowhere is a keyboard that cannot be read,
            // which the user should hear of; a pipe or a device is never
            // opened, since reading it could wait for ever.
            if (info.kind == FileKind::kFile || (info.link && info.kind == FileKind::kMissing)) {
                tree_->keyboards.push_back(entry);
            } else {
                tree_->unreadable.push_back({entry, "not a regular file: never opened"});
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
        return files_.ResolvePath(path, &resolved) && IsInsideFolder(resolved, resolved_root_);
    }

    FileSystem& files_;
    const std::string& root_;
    std::string resolved_root_;
    KeyboardTree* tree_;
    std::set<std::string> visited_;
};

}  // namespace

bool FindKeyboards(FileSystem& files, const std::string& root, KeyboardTree* tree,
                   std::string* error) {
    TreeWalk walk(files, root, tree);
    if (!walk.Walk("", error)) return false;
    std::sort(tree->keyboards.begin(), tree->keyboards.end());
    std::sort(tree->unreadable.begin(), tree->unreadable.end(),
              [](const auto& a, const auto& b) { return a.relative < b.relative; });
    return true;
}

}  // namespace dravonix
