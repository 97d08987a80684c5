// Reading a legacy .kbd keyboard file into the keyboard model.
#pragma once

#include <string>
#include <string_view>

#include "kbd/kbd_observer.h"
#include "model/key_definition.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace dravonix {

/// Reads the legacy keyboard file at path into definition: the keyboard name
/// and one panel per completed KEYDEF block, appended after what definition
/// holds. Returns false only when the file cannot be opened or a read of it
/// fails, with the reason ("PATH: reason") in *error when error is not null;
/// definition then holds what was read before, no keyboard to use. What the
/// reader drops or changes is reported to observer when it is not null; the
/// model read is the same either way. The file is opened through files. The
/// text is in code page page; a file in UTF-8 (see kbd/line_reader.h) is
/// converted into it.
[[nodiscard]] bool ReadKbdFile(const std::string& path, KeyDefinition& definition,
                               KbdObserver* observer = nullptr, std::string* error = nullptr,
                               FileSystem& files = SystemFileSystem(), CodePage page = CodePage());

/// Reads an open legacy keyboard file from where it stands to its end,
/// exactly as ReadKbdFile reads the file at a path; false when a read fails,
/// with the file's reason in *error (may be null).
[[nodiscard]] bool ReadKbdFrom(ReadableFile& file, KeyDefinition& definition,
                               KbdObserver* observer = nullptr, std::string* error = nullptr,
                               CodePage page = CodePage());

/// Reads the bytes of a legacy keyboard file, held in memory, exactly as
/// ReadKbdFile reads the file that holds them.
void ReadKbdBytes(std::string_view bytes, KeyDefinition& definition,
                  KbdObserver* observer = nullptr, CodePage page = CodePage());

}  // namespace dravonix
