// Files in the web page: the browser's in-memory file system, into which the
// page puts the files the user picked (the panel images beside the
// keyboards), read and described through the POSIX calls Emscripten provides
// (posix_file_read.cpp, posix_file_info.cpp). The page only reads them: what
// it makes goes to the user as downloads, never into files, so nothing can be
// saved here.
#include <cerrno>
#include <memory>

#include "platform/posix_error.h"
#include "platform/posix_file_system.h"

namespace dravonix {

std::unique_ptr<OutputFile> PosixFileSystem::StartReplacing(const std::string& path,
                                                            std::string* error) {
    SetError(error, path, EROFS);
    return nullptr;
}

FileSystem& SystemFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace dravonix
