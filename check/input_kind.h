// Which reader the check gives a file: the legacy .kbd reader or the XML
// keyboard reader.
#pragma once

#include <string>
#include <string_view>

namespace dravonix {

/// The two readers of keyboard files.
enum class InputKind {
    kKbd,  // the legacy line-oriented format
    kXml,  // the XML keyboard format
};

/// True when the file name ends in ".kbd", in any letter case.
bool HasKbdExtension(std::string_view path);

/// True when bytes start like an XML document: "<" after blanks and line
/// ends, behind a UTF-8 byte-order mark or not, or a UTF-16 byte-order mark
/// followed by "<" in that encoding.
bool LooksLikeXml(std::string_view bytes);

/// The reader for a file: .kbd files are legacy keyboards whatever they
/// hold; other files are XML when their content looks like it, otherwise
/// legacy keyboards (whose reader takes any bytes).
InputKind ChooseReader(std::string_view path, std::string_view bytes);

/// Reads the whole file at path into *bytes; false with the system's reason
/// (without the path) in *error when it cannot be opened or read.
[[nodiscard]] bool ReadInputFile(const std::string& path, std::string* bytes, std::string* error);

}  // namespace dravonix
