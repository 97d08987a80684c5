// The files of a POSIX system (Linux), behind the FileSystem interface.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace dravonix {

/// FileSystem on POSIX calls. Safe for use by several threads at once.
class PosixFileSystem final : public FileSystem {
public:
    /// With unnamed_temporaries, a replacement is written into a file that
    /// has no name until just before it takes the destination's place, where
    /// the folder's file system allows it (Linux's O_TMPFILE); otherwise, or
    /// without it, into a hidden named file beside the destination.
    explicit PosixFileSystem(bool unnamed_temporaries = true)
        : unnamed_temporaries_(unnamed_temporaries) {}

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
    bool unnamed_temporaries_;
};

}  // namespace dravonix
