// Files as the converter uses them: read from start to end, or given new
// content in one step. Paths are bytes in the platform's own path encoding
// (UTF-8 where the system's file names are UTF-16). Every failure hands back
// a message that names the file and the system's reason, for example
// "out/pad.xml: Permission denied".
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

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

    /// Puts the written bytes in place as the destination's content, durably:
    /// after a successful Commit a crash or power cut leaves either the old or
    /// the new content, never a mix and never neither. False on failure, the
    /// destination then keeping what it had. Call at most once. (An output
    /// written directly into a device or pipe is only closed.)
    [[nodiscard]] virtual bool Commit(std::string* error) = 0;
};

/// The file operations the converter needs, as a small interface so that
/// tests can stand in for the disk.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// Opens an existing file for reading. A folder counts as a file that
    /// cannot be opened. Null on failure, with the reason in *error.
    [[nodiscard]] virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path,
                                                                       std::string* error) = 0;

    /// Reads up to limit bytes from the start of path into *bytes (replacing
    /// what it held) when path names a regular file, following symbolic links.
    /// False for anything else: a missing or unreadable file, a folder, a
    /// device or a pipe, none of which is opened in a way that could block or
    /// consume input.
    [[nodiscard]] virtual bool ReadStartOfFile(const std::string& path, std::size_t limit,
                                               std::string* bytes) = 0;

    /// Starts giving path new content. A new or regular file is replaced
    /// atomically: the bytes go to a temporary file in the same folder, which
    /// Commit puts in place (a new file gets the ordinary permissions, an
    /// existing one keeps its permissions and, where the user may set them,
    /// its owner and group; a symbolic link is followed and its target
    /// replaced). A destination that exists and is not a regular file (a
    /// device such as /dev/null or NUL, a pipe) is written into directly. A
    /// folder, a missing folder or a destination that cannot be written fail
    /// here or at Commit. Null on failure, with the reason in *error.
    [[nodiscard]] virtual std::unique_ptr<OutputFile> StartReplacing(const std::string& path,
                                                                     std::string* error) = 0;
};

/// The operating system's files. Safe for use by several threads at once.
FileSystem& SystemFileSystem();

/// A message for the user such as "cannot open 'in.kbd': No such file or
/// directory", from an action ("open", "save"), the path and a failure
/// message of this interface ("in.kbd: No such file or directory"), whose
/// leading "PATH: " is dropped since the message names the file already.
std::string FileFailureMessage(std::string_view action, std::string_view path,
                               std::string_view failure);

}  // namespace dravonix
