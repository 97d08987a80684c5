// A file system held in memory, standing in for the disk in tests of code
// that reaches files through FileSystem: files, folders, symbolic links and
// entries that are neither (devices, pipes), with POSIX paths ("/" between
// folders; a relative path starts at the root) and POSIX wording of
// failures. Each change ticks a clock, so that the file changed last is the
// newest. Safe for use by several threads at once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace dravonix {

class MemoryFileSystem final : public FileSystem {
public:
    /// Adds (or replaces) the file at path with content, and the folders
    /// above it; it is then the newest file.
    void AddFile(const std::string& path, const std::string& content);
    /// Adds the folder at path and those above it.
    void AddFolder(const std::string& path);
    /// Adds a symbolic link at path to target (a relative target is read from
    /// the link's folder), and the folders above it.
    void AddLink(const std::string& path, const std::string& target);
    /// Adds an entry that is neither file nor folder, such as a pipe: never
    /// read, and what is written into it is dropped.
    void AddOther(const std::string& path);
    /// Removes the entry at path (not what a link names), with everything
    /// below it.
    void Remove(const std::string& path);

    /// The content of the file path names (links followed), or "<missing>".
    std::string Content(const std::string& path);
    /// The paths of every file, folder, link and other entry, sorted.
    std::vector<std::string> Paths();

    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path,
                                                 std::string* error) override;
    bool ReadStartOfFile(const std::string& path, std::size_t limit, std::string* bytes) override;
    ReadOutcome ReadWholeFile(const std::string& path, std::size_t limit, std::string* bytes,
                              std::string* error) override;
    std::unique_ptr<OutputFile> StartReplacing(const std::string& path,
                                               std::string* error) override;
    FileInfo GetFileInfo(const std::string& path) override;
    bool ResolvePath(const std::string& path, std::string* resolved) override;
    bool ListFolder(const std::string& path, std::vector<std::string>* names,
                    std::string* error) override;
    bool MakeFolders(const std::string& path, std::string* error) override;

private:
    class Output;

    struct Entry {
        FileKind kind = FileKind::kFile;  // kMissing marks a link
        std::string content;              // a file's bytes, or a link's target
        std::int64_t modified = 0;
        std::uint64_t number = 0;  // the identity's file number
    };

    /// Where a path leads: the absolute path of what it names (links
    /// followed, the last one only when follow_last), or why it leads
    /// nowhere.
    enum class Found { kEntry, kMissing, kBroken };
    Found Resolve(const std::string& path, bool follow_last, std::string* resolved, int depth = 0);
    Entry* Lookup(const std::string& path, bool follow_last, std::string* resolved = nullptr);
    void AddFolders(const std::string& absolute);
    Entry& Put(const std::string& absolute, FileKind kind);
    void Commit(const std::string& absolute, std::string content);

    std::mutex lock_;
    std::map<std::string, Entry> entries_;  // by absolute path; the root "/" is implied
    std::int64_t clock_ = 0;
    std::uint64_t numbers_ = 0;
};

}  // namespace dravonix
