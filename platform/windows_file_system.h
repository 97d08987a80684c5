// The files of Windows, behind the FileSystem interface, with the seam by
// which tests make the system's placing of a saved file fail.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace dravonix {

/// The calls by which a finished temporary file takes its destination's
/// place, and the pause between two tries: the system's own, or stand-ins
/// that fail as the system may. Each call returns 0 or the system's error
/// code.
struct PlacementCalls {
    /// ReplaceFileW: the existing file destination gets the content of
    /// replacement, which goes, keeping destination's attributes.
    unsigned long (*replace)(const wchar_t* destination, const wchar_t* replacement);
    /// MoveFileExW with MOVEFILE_WRITE_THROUGH, and MOVEFILE_REPLACE_EXISTING
    /// when replace_existing.
    unsigned long (*move)(const wchar_t* from, const wchar_t* to, bool replace_existing);
    void (*pause)(unsigned milliseconds);
};

/// The system's placement calls.
PlacementCalls SystemPlacementCalls();

/// FileSystem on the wide Windows calls, by names that reach any path length.
/// Safe for use by several threads at once.
class WindowsFileSystem final : public FileSystem {
public:
    explicit WindowsFileSystem(const PlacementCalls& calls = SystemPlacementCalls())
        : calls_(calls) {}

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
    PlacementCalls calls_;
};

/// Nanoseconds since 1970 of a FILETIME value (100-nanosecond ticks since
/// 1601), held at the ends of std::int64_t where it does not fit.
std::int64_t NanosecondsFromFileTime(std::uint64_t ticks);

/// What the program does when the console asks it to end (Ctrl+C,
/// Ctrl+Break, the window closed, the user logging off, the system shutting
/// down), in the handler the first save (or CatchInterrupts) registers:
/// removes the temporary files of the saves under way, as the ending signals
/// do on POSIX systems, and returns false so that the system goes on to end
/// the program; but returns true at once for the first Ctrl+C or Ctrl+Break
/// the program catches (platform/interrupt.h).
bool RemoveTemporariesOnConsoleEnd(unsigned long event);

}  // namespace dravonix
