#include "testing/memory_file_system.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace dravonix {

namespace {

/// The parts of a path that name something: no empty parts, no ".".
std::vector<std::string> PartsOf(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (!part.empty() && part != ".") parts.push_back(std::move(part));
        start = end + 1;
    }
    return parts;
}

/// path as a key of the table: "/" and the path, unless it starts with one.
std::string Absolute(const std::string& path) {
    std::string absolute;
    if (!path.starts_with('/')) absolute.push_back('/');
    return absolute.append(path);
}

std::string ParentOf(const std::string& absolute) {
    const std::size_t slash = absolute.rfind('/');
    return slash == std::string::npos ? "" : absolute.substr(0, slash);
}

void SetError(std::string* error, const std::string& path, const char* reason) {
    if (error != nullptr) *error = path + ": " + reason;
}

/// A file's bytes: a copy made when it was opened, or a view of them while
/// the table is locked.
class MemoryReadable final : public ReadableFile {
public:
    explicit MemoryReadable(std::string bytes) : copy_(std::move(bytes)), rest_(copy_) {}
    explicit MemoryReadable(std::string_view bytes) : rest_(bytes) {}
    bool Read(char* buffer, std::size_t size, std::size_t* got, std::string*) override {
        *got = rest_.copy(buffer, size);
        rest_.remove_prefix(*got);
        return true;
    }

private:
    std::string copy_;
    std::string_view rest_;
};

}  // namespace

/// What is written, kept until Commit puts it in place; an output into an
/// entry that is neither file nor folder drops it.
class MemoryFileSystem::Output final : public OutputFile {
public:
    Output(MemoryFileSystem* files, std::string absolute)
        : files_(files), absolute_(std::move(absolute)) {}
    bool Write(std::string_view data, std::string*) override {
        if (!absolute_.empty()) bytes_.append(data);
        return true;
    }
    bool Commit(std::string*) override {
        if (!absolute_.empty()) files_->Commit(absolute_, std::move(bytes_));
        return true;
    }

private:
    MemoryFileSystem* files_;
    std::string absolute_;
    std::string bytes_;
};

MemoryFileSystem::Found MemoryFileSystem::Resolve(const std::string& path, bool follow_last,
                                                  std::string* resolved, int depth) {
    const std::vector<std::string> parts = PartsOf(path);
    std::string current;  // "" is the root
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        if (parts[i] == "..") {
            current = ParentOf(current);
            continue;
        }
        std::string next = current;
        next.append("/").append(parts[i]);
        const auto it = entries_.find(next);
        if (it == entries_.end()) {
            if (!last) return Found::kBroken;
            *resolved = next;
            return Found::kMissing;
        }
        if (it->second.kind == FileKind::kMissing && (follow_last || !last)) {
            if (depth >= 40) return Found::kBroken;  // a loop of links
            const std::string& target = it->second.content;
            std::string end;
            std::string full = target.starts_with('/') ? std::string() : current + "/";
            full.append(target);
            const Found found = Resolve(full, true, &end, depth + 1);
            if (found == Found::kBroken || (found == Found::kMissing && !last)) {
                return Found::kBroken;
            }
            if (found == Found::kMissing) {
                *resolved = end;
                return Found::kMissing;
            }
            current = end == "/" ? "" : end;
        } else {
            current = next;
        }
        if (!last && !current.empty() && entries_[current].kind != FileKind::kFolder) {
            return Found::kBroken;
        }
    }
    *resolved = current.empty() ? "/" : current;
    return Found::kEntry;
}

MemoryFileSystem::Entry* MemoryFileSystem::Lookup(const std::string& path, bool follow_last,
                                                  std::string* resolved) {
    static Entry root{FileKind::kFolder, "", 0, 0};
    std::string absolute;
    if (Resolve(path, follow_last, &absolute) != Found::kEntry) return nullptr;
    if (resolved != nullptr) *resolved = absolute;
    return absolute == "/" ? &root : &entries_[absolute];
}

void MemoryFileSystem::AddFolders(const std::string& absolute) {
    for (std::string folder = ParentOf(absolute); !folder.empty(); folder = ParentOf(folder)) {
        Entry& entry = entries_[folder];
        if (entry.kind == FileKind::kFolder && entry.number != 0) break;
        entry.kind = FileKind::kFolder;
        entry.number = ++numbers_;
        entry.modified = ++clock_ * 1000;
    }
}

MemoryFileSystem::Entry& MemoryFileSystem::Put(const std::string& absolute, FileKind kind) {
    AddFolders(absolute);
    Entry& entry = entries_[absolute];
    if (entry.number == 0 || entry.kind != kind) entry.number = ++numbers_;
    entry.kind = kind;
    entry.modified = ++clock_ * 1000;
    return entry;
}

void MemoryFileSystem::Commit(const std::string& absolute, std::string content) {
    std::lock_guard<std::mutex> hold(lock_);
    Put(absolute, FileKind::kFile).content = std::move(content);
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& content) {
    std::lock_guard<std::mutex> hold(lock_);
    Put(Absolute(path), FileKind::kFile).content = content;
}

void MemoryFileSystem::AddFolder(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    Put(Absolute(path), FileKind::kFolder);
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target) {
    std::lock_guard<std::mutex> hold(lock_);
    Put(Absolute(path), FileKind::kMissing).content = target;
}

void MemoryFileSystem::AddOther(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    Put(Absolute(path), FileKind::kOther);
}

void MemoryFileSystem::Remove(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    std::string absolute;
    if (Resolve(path, false, &absolute) != Found::kEntry || absolute == "/") return;
    // What is below it sorts from "PATH/" up to "PATH0" ("0" follows "/").
    entries_.erase(entries_.lower_bound(absolute + "/"), entries_.lower_bound(absolute + "0"));
    entries_.erase(absolute);
}

std::string MemoryFileSystem::Content(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    const Entry* entry = Lookup(path, true);
    return entry != nullptr && entry->kind == FileKind::kFile ? entry->content : "<missing>";
}

std::vector<std::string> MemoryFileSystem::Paths() {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<std::string> paths;
    for (const auto& [path, entry] : entries_) paths.push_back(path);
    return paths;
}

std::unique_ptr<ReadableFile> MemoryFileSystem::OpenForReading(const std::string& path,
                                                               std::string* error) {
    std::lock_guard<std::mutex> hold(lock_);
    const Entry* entry = Lookup(path, true);
    if (entry == nullptr) {
        SetError(error, path, "No such file or directory");
        return nullptr;
    }
    if (entry->kind == FileKind::kFolder) {
        SetError(error, path, "Is a directory");
        return nullptr;
    }
    return std::make_unique<MemoryReadable>(entry->kind == FileKind::kFile ? entry->content : "");
}

bool MemoryFileSystem::ReadStartOfFile(const std::string& path, std::size_t limit,
                                       std::string* bytes) {
    std::lock_guard<std::mutex> hold(lock_);
    const Entry* entry = Lookup(path, true);
    if (entry == nullptr || entry->kind != FileKind::kFile) return false;
    *bytes = entry->content.substr(0, limit);
    return true;
}

ReadOutcome MemoryFileSystem::ReadWholeFile(const std::string& path, std::size_t limit,
                                            std::string* bytes, std::string* error) {
    std::lock_guard<std::mutex> hold(lock_);
    bytes->clear();
    const Entry* entry = Lookup(path, true);
    if (entry == nullptr) {
        SetError(error, path, "No such file or directory");
        return ReadOutcome::kCannotOpen;
    }
    if (entry->kind == FileKind::kFolder) {
        SetError(error, path, "Is a directory");
        return ReadOutcome::kNotAFile;
    }
    if (entry->kind != FileKind::kFile) {
        if (error != nullptr) *error = NotAFileReason(path);
        return ReadOutcome::kNotAFile;
    }
    MemoryReadable file{std::string_view(entry->content)};
    return ReadToEnd(file, path, entry->content.size(), limit, bytes, error);
}

std::unique_ptr<OutputFile> MemoryFileSystem::StartReplacing(const std::string& path,
                                                             std::string* error) {
    std::lock_guard<std::mutex> hold(lock_);
    std::string absolute;
    const Found found = Resolve(path, true, &absolute);
    if (found == Found::kBroken || path.empty()) {
        SetError(error, path, "No such file or directory");
        return nullptr;
    }
    const FileKind kind = found == Found::kEntry ? Lookup(absolute, true)->kind : FileKind::kFile;
    if (kind == FileKind::kFolder || path.ends_with('/')) {
        SetError(error, path, "Is a directory");
        return nullptr;
    }
    return std::make_unique<Output>(this, kind == FileKind::kFile ? absolute : "");
}

FileInfo MemoryFileSystem::GetFileInfo(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    FileInfo info;
    const Entry* itself = Lookup(path, false);
    if (itself == nullptr) return info;
    info.link = itself->kind == FileKind::kMissing;
    const Entry* entry = info.link ? Lookup(path, true) : itself;
    if (entry == nullptr) return info;
    info.kind = entry->kind;
    info.modified = entry->modified;
    if (entry->kind == FileKind::kFile) info.size = entry->content.size();
    info.identity = {1, entry->number};
    return info;
}

bool MemoryFileSystem::ResolvePath(const std::string& path, std::string* resolved) {
    std::lock_guard<std::mutex> hold(lock_);
    return Lookup(path, true, resolved) != nullptr;
}

bool MemoryFileSystem::ListFolder(const std::string& path, std::vector<std::string>* names,
                                  std::string* error) {
    std::lock_guard<std::mutex> hold(lock_);
    names->clear();
    std::string absolute;
    const Entry* entry = Lookup(path, true, &absolute);
    if (entry == nullptr || entry->kind != FileKind::kFolder) {
        SetError(error, path, entry == nullptr ? "No such file or directory" : "Not a directory");
        return false;
    }
    const std::string prefix = absolute == "/" ? "/" : absolute + "/";
    for (auto it = entries_.lower_bound(prefix); it != entries_.end(); ++it) {
        if (!it->first.starts_with(prefix)) break;
        const std::string name = it->first.substr(prefix.size());
        if (name.find('/') == std::string::npos) names->push_back(name);
    }
    return true;
}

bool MemoryFileSystem::MakeFolders(const std::string& path, std::string* error) {
    std::lock_guard<std::mutex> hold(lock_);
    std::string given = path.starts_with('/') ? "" : ".";
    for (const std::string& part : PartsOf(path)) {
        given.append("/").append(part);
        std::string absolute;
        switch (Resolve(given, true, &absolute)) {
            case Found::kEntry:
                if (Lookup(absolute, true)->kind != FileKind::kFolder) {
                    SetError(error, path, "Not a directory");
                    return false;
                }
                break;
            case Found::kMissing:
                Put(absolute, FileKind::kFolder);
                break;
            case Found::kBroken:
                SetError(error, path, "No such file or directory");
                return false;
        }
    }
    return true;
}

}  // namespace dravonix
