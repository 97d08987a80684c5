// Reading a legacy .kbd keyboard file into the keyboard model.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "kbd/kbd_observer.h"
#include "model/key_definition.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace dravonix {

/// Hears of a keyboard's panels as the reader completes them, so that work on
/// them can start before the whole file is read (on another thread: the
/// reader hands over with these calls, on its own thread).
class PanelListener {
public:
    virtual ~PanelListener() = default;
    /// The panels are about to move to larger storage: once this returns,
    /// nothing but the reader may touch them until the next PanelsReady.
    virtual void HoldPanels() = 0;
    /// definition.subkeydef holds `complete` finished panels first, at its
    /// current storage: the reader reads and writes none of them again, and
    /// moves them only after HoldPanels.
    virtual void PanelsReady(KeyDefinition& definition, std::size_t complete) = 0;
};

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

/// ReadKbdFile that tells listener of each panel once it is complete. The
/// model read is the same.
[[nodiscard]] bool ReadKbdFile(const std::string& path, KeyDefinition& definition,
                               KbdObserver* observer, std::string* error, FileSystem& files,
                               CodePage page, PanelListener& listener);

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
