// Files as the commands use them: read, described, listed, and given new
// content in one step. Every command reaches files through FileSystem alone,
// so that tests can stand in for the disk (testing/memory_file_system.h).
// Paths are bytes in the platform's own path encoding (UTF-8 where the
// system's file names are UTF-16). Every failure hands back a message that
// names the file and the system's reason, for example
// "out/pad.xml: Permission denied"; the same system error is worded the same
// way by every operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dravonix {

/// A file open for reading from its start. Not safe for use by two threads
/// at once; distinct files may be read on distinct threads.
class ReadableFile {
public:
    virtual ~ReadableFile() = default;

    /// Reads up to size bytes into buffer and sets *got to the number read;
    /// *got is 0 only at the end of the file. False on a read error, with the
    /// reason in *error (may be null).
    [[nodiscard]] virtual bool Read(char* buffer, std::size_t size, std::size_t* got,
                                    std::string* error) = 0;
};

/// The new content of a file, written from its start. Until Commit succeeds
/// the destination keeps what it had; an output destroyed without a
/// successful Commit leaves nothing behind (no temporary file).
class OutputFile {
public:
    virtual ~OutputFile() = default;

    /// Appends data. False when the bytes could not be written; the output
    /// is then spoiled: later writes and Commit fail with the same reason.
    [[nodiscard]] virtual bool Write(std::string_view data, std::string* error) = 0;

    /// Appends the pieces in order, as one Write after another would. Files of
    /// a system that can take many pieces in one call (writev) do so.
    [[nodiscard]] virtual bool WriteGathered(std::span<const std::string_view> pieces,
                                             std::string* error) {
        for (const std::string_view piece : pieces) {
            if (!Write(piece, error)) return false;
        }
        return true;
    }

    /// Puts the written bytes in place as the destination's content, durably:
    /// after a successful Commit a crash or power cut leaves either the old or
    /// the new content, never a mix and never neither. False on failure, the
    /// destination then keeping what it had. Call at most once. (An output
    /// written directly into a device or pipe is only closed.)
    [[nodiscard]] virtual bool Commit(std::string* error) = 0;
};

/// What a path names.
enum class FileKind { kMissing, kFile, kFolder, kOther };

/// Which file a path names, as the system tells files apart: the device and
/// inode on POSIX systems, the volume serial number and file index on
/// Windows. Two paths name the same file (through links, hard links or other
/// spellings) exactly when their identities are equal.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};

/// What a path names, when it was last changed, how large and which file it
/// is.
struct FileInfo {
    FileKind kind = FileKind::kMissing;
    bool link = false;          // the path itself is a symbolic link (or reparse point)
    std::int64_t modified = 0;  // last change, in nanoseconds since an epoch of the system
    std::uint64_t size = 0;     // a regular file's size in bytes; 0 for anything else
    FileIdentity identity;      // meaningful unless kind is kMissing
};

/// How ReadWholeFile ended.
enum class ReadOutcome {
    kRead,        // the whole file is in *bytes
    kCannotOpen,  // missing, or not to be opened (rights, an invalid name)
    kNotAFile,    // a folder, device or pipe: never read
    kTooLarge,    // larger than the limit
    kFailed,      // a read error part way
};

/// The file operations of the commands, as a small interface so that tests
/// can stand in for the disk. The operations after the first three have
/// defaults that fail (ReadWholeFile's reads through OpenForReading), so
/// that a stand-in which only reads and saves stays small.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Reading.

    /// Opens an existing file for reading, to be read as a stream (a pipe
    /// may be read so, and opening one waits for its writer). A folder counts
    /// as a file that cannot be opened. Null on failure, with the reason in
    /// *error.
    [[nodiscard]] virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path,
                                                                       std::string* error) = 0;

    /// Reads up to limit bytes from the start of path into *bytes (replacing
    /// what it held) when path names a regular file, following symbolic links.
    /// False for anything else: a missing or unreadable file, a folder, a
    /// device or a pipe, none of which is opened in a way that could block or
    /// consume input.
    [[nodiscard]] virtual bool ReadStartOfFile(const std::string& path, std::size_t limit,
                                               std::string* bytes) = 0;

    /// Reads the whole of the regular file at path into *bytes (replacing
    /// what it held), following symbolic links. Anything else is refused
    /// without being read: a folder, a device or a pipe (opened so that it
    /// cannot block), and a file of more than limit bytes. On any outcome but
    /// kRead, *bytes is empty and *error (may be null) says why, naming path.
    [[nodiscard]] virtual ReadOutcome ReadWholeFile(const std::string& path, std::size_t limit,
                                                    std::string* bytes, std::string* error);

    /// Reads the file at path to its end into *bytes (replacing what it
    /// held) as OpenForReading opens it, so that a pipe named on a command
    /// line is read too; a regular file's size, where the system tells it,
    /// sizes the buffer at once. False with the reason ("PATH: reason") in
    /// *error (may be null), *bytes then empty.
    [[nodiscard]] bool ReadStream(const std::string& path, std::string* bytes, std::string* error);

    // Saving.

    /// Starts giving path new content. What the path names decides how, here
    /// and nowhere else: a new or regular file is replaced atomically (the
    /// bytes go to a temporary file in the same folder, which Commit puts in
    /// place; a new file gets the ordinary permissions, an existing one keeps
    /// its permissions and, where the user may set them, its owner and group;
    /// a symbolic link is followed and its target replaced). A destination
    /// that exists and is not a regular file (a device such as /dev/null or
    /// NUL, a pipe) is written into directly, and so is an open file named
    /// through the system's names for open files (/dev/stdout, /dev/fd/N):
    /// never truncated, so that output the shell appends to a log is added
    /// at its end. A folder, a missing folder or a destination that cannot
    /// be written fail here or at Commit. Null on failure, with the reason in
    /// *error.
    [[nodiscard]] virtual std::unique_ptr<OutputFile> StartReplacing(const std::string& path,
                                                                     std::string* error) = 0;

    /// Gives to the content of the regular file from (links followed), by
    /// StartReplacing's safe save: on any failure to keeps what it had. False
    /// when from is missing, not a regular file or unreadable, or to cannot
    /// be saved, with the reason ("PATH: reason") in *error (may be null).
    [[nodiscard]] virtual bool CopyFile(const std::string& from, const std::string& to,
                                        std::string* error);

    // Information, folders.

    /// Describes path. The kind, time and identity are those of what a link
    /// names, and kMissing for a dangling link; link says whether path itself
    /// is one. Never fails: what cannot be examined is kMissing.
    virtual FileInfo GetFileInfo(const std::string& path);

    /// The absolute path of path with every link resolved and no "." or ".."
    /// steps, for telling whether a path leads out of a folder. False when
    /// path does not exist.
    [[nodiscard]] virtual bool ResolvePath(const std::string& path, std::string* resolved);

    /// Sets *names to the names of the entries of the folder at path (files
    /// and folders alike, without "." and ".."), in no particular order.
    /// False when the folder cannot be listed, with the reason
    /// ("PATH: reason") in *error (may be null); *names is then empty.
    [[nodiscard]] virtual bool ListFolder(const std::string& path, std::vector<std::string>* names,
                                          std::string* error);

    /// Creates the folder path and any missing folders above it; true when it
    /// exists as a folder afterwards. On failure *error (may be null) holds
    /// "PATH: reason".
    [[nodiscard]] virtual bool MakeFolders(const std::string& path, std::string* error);

protected:
    /// ReadWholeFile's reading, once the file is open and known to be one to
    /// read: reads file to its end into *bytes, refusing more than limit bytes
    /// (kTooLarge) even when the file grows while it is read. size_hint, the
    /// size the system gives, spares growing the buffer.
    static ReadOutcome ReadToEnd(ReadableFile& file, const std::string& path, std::size_t size_hint,
                                 std::size_t limit, std::string* bytes, std::string* error);
    /// The reason of a refusal for what is not a regular file, worded alike
    /// by every implementation: "PATH: not a regular file".
    static std::string NotAFileReason(const std::string& path);
};

/// The operating system's files. Safe for use by several threads at once.
FileSystem& SystemFileSystem();

/// The folder that holds the file at path: everything before its last
/// separator ("/", and on Windows also "\"), keeping a root's separator;
/// "" (the current folder) when path has no separator.
std::string FolderOf(const std::string& path);

/// True when path lies in folder or is folder itself, both resolved
/// (FileSystem::ResolvePath): a separator must follow folder's name, so that
/// "/src2/x" is not inside "/src".
bool IsInsideFolder(std::string_view path, std::string_view folder);

/// A message for the user such as "cannot open 'in.kbd': No such file or
/// directory", from an action ("open", "save"), the path and a failure
/// message of this interface ("in.kbd: No such file or directory"), whose
/// leading "PATH: " is dropped since the message names the file already.
std::string FileFailureMessage(std::string_view action, std::string_view path,
                               std::string_view failure);

}  // namespace dravonix
