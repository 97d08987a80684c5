#include "kbd/kbd_reader.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "kbd/header_keys.h"
#include "kbd/kbd_state.h"
#include "kbd/key_sections.h"
#include "kbd/line_reader.h"
#include "kbd/sound_table.h"
#include "platform/file_system.h"

namespace dravonix {

namespace {

/// True when marker occurs anywhere in line (case-sensitive).
bool Contains(std::string_view line, std::string_view marker) {
    return line.find(marker) != std::string_view::npos;
}

/// Gives the working panel its type, moves it into the keyboard and resets it.
void CompletePanel(KbdWork& work, KeyDefinition& definition) {
    work.panel.type = "big";
    // The key lists grew by doubling; a large keyboard keeps many panels, so
    // give back the spare capacity (a quarter of the lists on average).
    work.panel.nonshiftkeys.key.shrink_to_fit();
    work.panel.nonshiftkeys.macro.shrink_to_fit();
    work.panel.keyswithoutshift.key.shrink_to_fit();
    work.panel.keyswithshift.key.shrink_to_fit();
    definition.subkeydef.push_back(std::move(work.panel));
    work.panel = SubKeyDefinition{};
}

/// A line of a KEYDEF block outside any section: a section start, the end or
/// start of a block, or a header key.
void HandleKeydefLine(std::string_view line, KbdWork& work, KeyDefinition& definition) {
    if (Contains(line, "[SOUNDS]")) {
        work.state = KbdLineState::InSounds;
    } else if (Contains(line, "[NOT INFLUENCED BY SHIFT]")) {
        work.state = KbdLineState::InNotInfluenced;
    } else if (Contains(line, "[SHIFT/CAPS OFF]")) {
        work.state = KbdLineState::InShiftCapsOff;
    } else if (Contains(line, "[SHIFT/CAPS ON]")) {
        work.state = KbdLineState::InShiftCapsOn;
    } else if (Contains(line, "[/KEYDEF]")) {
        CompletePanel(work, definition);  // the state stays InKeydef
    } else if (Contains(line, "[KEYDEF]")) {
        work.panel = SubKeyDefinition{};
    } else {
        HandleHeaderLine(line, work.panel);
    }
}

/// Handles a cleaned, non-empty line inside a KEYDEF block by the current
/// state. Within a section only its own end marker is recognised.
void HandleBlockLine(std::string_view line, KbdWork& work, KeyDefinition& definition) {
    switch (work.state) {
        case KbdLineState::OutsideKeydef:
            break;  // handled by the line loop, which reads the name
        case KbdLineState::InKeydef:
            HandleKeydefLine(line, work, definition);
            break;
        case KbdLineState::InSounds:
            if (Contains(line, "[/SOUNDS]")) {
                work.state = KbdLineState::InKeydef;
            } else {
                HandleSoundLine(line, work.panel.sounds);
            }
            break;
        case KbdLineState::InNotInfluenced:
            if (Contains(line, "[/NOT INFLUENCED BY SHIFT]")) {
                work.state = KbdLineState::InKeydef;
            } else {
                HandleNotInfluencedLine(line, work);
            }
            break;
        case KbdLineState::InMacro:
            HandleMacroLine(line, work);
            break;
        case KbdLineState::InShiftCapsOff:
            if (Contains(line, "[/SHIFT/CAPS OFF]")) {
                work.state = KbdLineState::InKeydef;
            } else {
                HandleShiftLine(line, work.key, work.panel.keyswithoutshift);
            }
            break;
        case KbdLineState::InShiftCapsOn:
            if (Contains(line, "[/SHIFT/CAPS ON]")) {
                work.state = KbdLineState::InKeydef;
            } else {
                HandleShiftLine(line, work.key, work.panel.keyswithshift);
            }
            break;
    }
}

}  // namespace

bool ReadKbdFile(const std::string& path, KeyDefinition& definition) {
    // A folder counts as a file that cannot be opened: it has no lines.
    std::unique_ptr<ReadableFile> file = SystemFileSystem().OpenForReading(path, nullptr);
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
        if (work.state == KbdLineState::OutsideKeydef) {
            if (Contains(line, "[KEYDEF]")) work.state = KbdLineState::InKeydef;
            // Every line before the first block reads the next line at once;
            // the first line read this way, exactly as read, names the
            // keyboard. It is then handled like any other line.
            have_line = reader.Read(raw);
            if (have_line && name_pending) {
                definition.name = raw;
                name_pending = false;
            }
            continue;
        }
        HandleBlockLine(line, work, definition);
        have_line = reader.Read(raw);
    }
    // An unfinished block, an open macro and the working key are dropped.
    return true;
}

}  // namespace dravonix
