#include "platform/file_lookup.h"

#include <algorithm>
#include <utility>

#include "platform/name_case.h"

namespace dravonix {

namespace {

/// folder joined with a relative path ("" for the current folder).
std::string Join(const std::string& folder, std::string_view relative) {
    if (folder.empty()) return std::string(relative.empty() ? "." : relative);
    std::string path = folder;
    if (!relative.empty()) {
        if (path.back() != '/' && path.back() != '\\') path += '/';
        path.append(relative);
    }
    return path;
}

/// Adds the parts of text separated by separators to parts, taking "." and
/// empty parts as no step and ".." as a step up; false when a step up leads
/// above the first part (out of the tree). *lowest becomes the fewest parts
/// held on the way.
bool AddParts(std::string_view text, std::string_view separators,
              std::vector<std::string_view>& parts, std::size_t* lowest) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view part = text.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (parts.empty()) return false;
            parts.pop_back();
            *lowest = std::min(*lowest, parts.size());
            continue;
        }
        parts.push_back(part);
    }
    return true;
}

}  // namespace

FileLookup::FileLookup(FileSystem& files, std::string root)
    : files_(files), root_(std::move(root)) {}

const std::vector<std::string>& FileLookup::Listing(const std::string& path) {
    const auto [at, added] = listings_.try_emplace(path);
    if (added) {
        if (!files_.ListFolder(path, &at->second, nullptr)) at->second.clear();
        std::sort(at->second.begin(), at->second.end());
    }
    return at->second;
}

FoundFile FileLookup::Find(std::string_view from, std::string_view name) {
    FoundFile found;
    const std::size_t last_separator = name.find_last_of("\\/");
    const std::string_view last =
        last_separator == std::string_view::npos ? name : name.substr(last_separator + 1);
    if (name.empty() || name[0] == '\\' || name[0] == '/' || (name.size() >= 2 && name[1] == ':') ||
        last.empty() || last == "." || last == "..") {
        return found;
    }
    // The steps of the name are taken on the name, as Windows does before it
    // looks at any folder.
    std::vector<std::string_view> wanted;
    std::size_t from_parts = 0;  // the leading parts that name the folder read from
    if (!AddParts(from, "/", wanted, &from_parts)) return found;
    from_parts = wanted.size();
    if (!AddParts(name, "\\/", wanted, &from_parts)) {
        found.outcome = LookupOutcome::kOutsideFolder;
        return found;
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const std::string_view part = wanted[i];
        const std::string* match = nullptr;
        if (i < from_parts) {
            found.relative.append(part);  // the folder read from exists as given
        } else {
            for (const std::string& entry : Listing(Join(root_, found.relative))) {
                if (entry == part) {
                    match = &entry;
                    break;
                }
                if (match == nullptr && SameNameIgnoringCase(entry, part)) match = &entry;
            }
            if (match == nullptr) return found;
            if (*match != part) found.case_differs = true;
            found.relative.append(*match);
        }
        if (i + 1 < wanted.size()) found.relative.push_back('/');
    }
    found.path = Join(root_, found.relative);
    // Links on the way may still lead out: what the name finally reaches must
    // lie inside the root.
    if (!root_resolved_) {
        root_resolved_ = files_.ResolvePath(root_.empty() ? "." : root_, &resolved_root_);
    }
    std::string resolved;
    if (!root_resolved_ || !files_.ResolvePath(found.path, &resolved)) {
        found.path.clear();
        found.relative.clear();
        return found;
    }
    if (!IsInsideFolder(resolved, resolved_root_)) {
        found.outcome = LookupOutcome::kOutsideFolder;
        return found;
    }
    found.info = files_.GetFileInfo(found.path);
    found.outcome = LookupOutcome::kFound;
    return found;
}

}  // namespace dravonix
