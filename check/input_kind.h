// Which reader a keyboard file is given: the legacy .kbd reader or the XML
// keyboard reader. The check and the picture decide by one rule:
//
//  1. a name ending in ".kbd" (in any letter case) is a legacy keyboard;
//  2. so is a file whose start holds a line with which the legacy reader
//     opens a KEYDEF block (HasKeydefLine of kbd/file_kind.h);
//  3. otherwise a name ending in ".xml", or a start that begins with "<"
//     after a byte-order mark and whitespace, is an XML keyboard file;
//  4. anything else is a legacy keyboard (whose reader takes any bytes).
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

/// How reports name the reader: ".kbd" or "XML".
std::string_view ReaderName(InputKind kind);

/// True when the file name ends in ".kbd", in any letter case.
bool HasKbdExtension(std::string_view path);

/// The reader for the file at path by the rule above, given the file's
/// bytes or their start (the first kKindSniffLength bytes are looked at).
InputKind ChooseReader(std::string_view path, std::string_view bytes);

/// ChooseReader for the file at path, whose start is read when the name does
/// not decide. Only a regular file is looked into (never a device or pipe,
/// whose bytes a look would consume); what cannot be read counts as empty,
/// and its reader then says why.
InputKind InputKindOf(const std::string& path);

/// Reads the whole file at path into *bytes through files, as a stream (so a
/// pipe named on the command line is read too); false with the system's
/// reason (without the path) in *error when it cannot be opened or read.
[[nodiscard]] bool ReadInputFile(const std::string& path, std::string* bytes, std::string* error,
                                 FileSystem& files = SystemFileSystem());

}  // namespace dravonix
