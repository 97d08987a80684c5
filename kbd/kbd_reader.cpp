#include "kbd/kbd_reader.h"

#include <memory>
#include <string>
#include <string_view>

#include "kbd/kbd_state.h"
#include "kbd/line_reader.h"
#include "platform/file_system.h"

namespace dravonix {

bool ReadKbdFile(const std::string& path, KeyDefinition& definition, KbdObserver* observer,
                 std::string* error) {
    (void)observer;
    // A folder counts as a file that cannot be opened: it has no lines.
    std::unique_ptr<ReadableFile> file = SystemFileSystem().OpenForReading(path, error);
    if (!file) return false;

    LineReader reader(*file);
    KbdWork work;
    bool name_pending = true;
    std::string raw;  // reused for every line
    bool have_line = reader.Read(raw);
    while (have_line) {
        const std::string_view line = CleanLine(raw);
        if (line.empty()) {
            have_line = reader.Read(raw);
            continue;
        }
        const bool before_first_block = work.state == KbdLineState::OutsideKeydef;
        HandleKbdLine(line, work, definition);
        have_line = reader.Read(raw);
        // Every line before the first block reads the next line at once; the
        // first line read this way, exactly as read, names the keyboard. It is
        // then handled like any other line.
        if (before_first_block && have_line && name_pending) {
            definition.name = raw;
            name_pending = false;
        }
    }
    // An unfinished block, an open macro and the working key are dropped.
    return true;
}

}  // namespace dravonix
