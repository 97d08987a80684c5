// Which reader the check gives a file: the legacy .kbd reader or the XML
// keyboard reader.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace dravonix {

/// The two readers of keyboard files.
enum class InputKind {
    kKbd,  // the legacy line-oriented format
    kXml,  // the XML keyboard format
};

/// True when the file name ends in ".kbd", in any letter case.
bool HasKbdExtension(std::string_view path);

/// The reader for a file: .kbd files are legacy keyboards whatever they
/// hold; other files are XML when their start looks like it (LooksLikeXml of
/// kbd/file_kind.h), otherwise legacy keyboards (whose reader takes any
/// bytes).
InputKind ChooseReader(std::string_view path, std::string_view bytes);

/// Reads the whole file at path into *bytes through files, as a stream (so a
/// pipe named on the command line is read too); false with the system's
/// reason (without the path) in *error when it cannot be opened or read.
[[nodiscard]] bool ReadInputFile(const std::string& path, std::string* bytes, std::string* error,
                                 FileSystem& files = SystemFileSystem());

}  // namespace dravonix
