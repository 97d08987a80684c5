#include "kbd/kbd_reader.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kbd/kbd_checker.h"
#include "kbd/kbd_state.h"
#include "kbd/line_reader.h"
#include "platform/file_system.h"
#include "platform/memory_file.h"

namespace dravonix {

namespace {

/// The line loop: reads file to its end into definition. With an observer,
/// a checker watches every line; without one, the loop does nothing else.
/// False when a read fails, with the reason in *error. A listener (may be
/// null) hears of the panels as they are completed.
bool ReadLines(ReadableFile& file, KeyDefinition& definition, KbdObserver* observer,
               std::string* error, CodePage page, PanelListener* listener = nullptr) {
    LineReader reader(file, page);
    KbdWork work;
    // A listener takes each panel away once it is complete: moving its keys
    // to trimmed lists would only cost the reading thread time.
    work.trim_panels = listener == nullptr;
    std::optional<KbdChecker> checker;
    if (observer != nullptr) checker.emplace(*observer, page);
    bool name_pending = true;
    std::string raw;  // reused for every line
    bool have_line = reader.Read(raw);
    std::vector<SubKeyDefinition>& panels = definition.subkeydef;
    std::size_t ready = panels.size();
    while (have_line) {
        // The panels move only here, where the listener is told of it, never
        // as a line completes a panel.
        if (listener != nullptr && panels.size() == panels.capacity()) {
            listener->HoldPanels();
            panels.reserve(std::max<std::size_t>(8, 2 * panels.size()));
            listener->PanelsReady(definition, ready);
        }
        const std::string_view line = CleanLine(raw);
        if (checker) checker->Piece(reader, raw, line);
        if (line.empty()) {
            have_line = reader.Read(raw);
            continue;
        }
        const bool before_first_block = work.state == KbdLineState::OutsideKeydef;
        if (checker) {
            checker->HandleLine(line, work, definition);
        } else {
            HandleKbdLine(line, work, definition);
        }
        // The checker is done with a panel once the line that completed it is.
        if (listener != nullptr && panels.size() != ready) {
            ready = panels.size();
            listener->PanelsReady(definition, ready);
        }
        have_line = reader.Read(raw);
        // Every line before the first block reads the next line at once; the
        // first line read this way, exactly as read, names the keyboard. It is
        // then handled like any other line.
        if (before_first_block && have_line && name_pending) {
            definition.name = raw;
            name_pending = false;
            if (checker) checker->NameTaken();
        }
    }
    if (reader.failed()) {
        // What was read is no keyboard: the rest of the file is missing.
        if (error != nullptr) *error = reader.error();
        return false;
    }
    // An unfinished block, an open macro and the working key are dropped.
    if (checker) checker->End(reader, work);
    return true;
}

}  // namespace

bool ReadKbdFile(const std::string& path, KeyDefinition& definition, KbdObserver* observer,
                 std::string* error, FileSystem& files, CodePage page) {
    // A folder counts as a file that cannot be opened: it has no lines.
    std::unique_ptr<ReadableFile> file = files.OpenForReading(path, error);
    return file != nullptr && ReadLines(*file, definition, observer, error, page);
}

bool ReadKbdFile(const std::string& path, KeyDefinition& definition, KbdObserver* observer,
                 std::string* error, FileSystem& files, CodePage page, PanelListener& listener) {
    std::unique_ptr<ReadableFile> file = files.OpenForReading(path, error);
    return file != nullptr && ReadLines(*file, definition, observer, error, page, &listener);
}

bool ReadKbdFrom(ReadableFile& file, KeyDefinition& definition, KbdObserver* observer,
                 std::string* error, CodePage page) {
    return ReadLines(file, definition, observer, error, page);
}

void ReadKbdBytes(std::string_view bytes, KeyDefinition& definition, KbdObserver* observer,
                  CodePage page) {
    MemoryFile file(bytes);
    (void)ReadLines(file, definition, observer, nullptr, page);  // memory never fails to read
}

}  // namespace dravonix
