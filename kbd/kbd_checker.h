// The reports about a legacy keyboard file: a watcher of the line loop that
// tells an observer what the reader drops or changes, and where.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "kbd/kbd_observer.h"
#include "kbd/kbd_state.h"
#include "kbd/line_reader.h"
#include "model/key_definition.h"

namespace dravonix {

/// Follows the line loop of the reader when an observer is present. The
/// loop shows it each piece the line reader delivers and lets it apply each
/// cleaned line; it compares the working objects before and after, and
/// scans the line again where that is needed to say why. It never changes
/// what the reader builds.
class KbdChecker {
public:
    /// The file's text is in code page page.
    explicit KbdChecker(KbdObserver& observer, CodePage page = CodePage())
        : observer_(observer), page_(page) {}

    /// A piece was read: raw as the line reader delivered it, line as cleaned.
    void Piece(const LineReader& reader, std::string_view raw, std::string_view line);
    /// The piece read last was taken as the keyboard's name.
    void NameTaken() { name_next_ = true; }
    /// Applies a cleaned, non-empty line with HandleKbdLine and reports.
    void HandleLine(std::string_view line, KbdWork& work, KeyDefinition& definition);
    /// The end of the input: reports what the reader discards.
    void End(const LineReader& reader, const KbdWork& work);

private:
    /// A key or macro of the working panel, for the check of its sound.
    struct KeyRef {
        std::size_t line;
        std::int32_t sound;
    };

    /// How a file starts, before its first KEYDEF block.
    enum class FileStart : std::uint8_t {
        kUnknown,  // nothing but blanks yet
        kText,     // text, which a legacy keyboard may hold before its first block
        kXml,      // "<" first: an XML file
        kUtf16,    // a UTF-16 byte-order mark
    };
    /// A report held back until the file is known to hold a KEYDEF block.
    struct HeldReport {
        std::size_t line;
        KbdIssue kind;
        std::string details;
    };

    void Report(std::size_t line, KbdIssue kind, const std::string& details);
    void WatchFileStart(std::string_view raw, bool had_nul);
    bool NoLegacyText() const;
    void CountQuietLine(std::size_t line);
    void ReleaseHeldReports();
    void FirstBlockOpened();
    void ReportNoKeydef();
    void FinishLongLine();
    void ReportCharacterChanges(const LineReader& reader, std::size_t up_to_line);
    void ReportLoneCr(std::string_view raw);
    bool ReportMarkerProblem(std::string_view line, KbdLineState state);
    void HandleMarker(std::string_view line, std::string_view marker, KbdWork& work,
                      KeyDefinition& definition);
    void CheckHeaderLine(std::string_view line);
    void NoteImageLine(std::string_view line, KbdWork& work, KeyDefinition& definition);
    void CheckSoundLine(std::string_view line, const KbdWork& work);
    void CheckKeyLineOutcome(std::string_view line, bool added, bool quiet, const Key* key);
    void CheckStrokeLine(std::string_view line, std::size_t strokes_before, const Macro& macro);
    void CheckSounds(const SubKeyDefinition& panel);
    void ReportMedia(const KeyDefinition& definition);
    void ResetPanel();

    KbdObserver& observer_;
    std::size_t line_ = 0;              // physical line of the current piece
    std::size_t long_line_ = 0;         // line read in more than one piece so far, or 0
    std::size_t long_pieces_ = 0;       // its pieces
    std::size_t long_added_ = 0;        // keys and macros added before it
    bool long_handled_ = false;         // a piece after its first was handled as a line
    std::size_t added_ = 0;             // keys and macros added so far
    std::size_t changes_reported_ = 0;  // character changes reported so far
    CodePage page_;
    bool name_next_ = false;
    bool name_ = false;               // the current piece is the keyboard's name
    bool block_open_ = false;         // inside "[KEYDEF]" ... "[/KEYDEF]"
    bool after_block_start_ = false;  // the line before was "[KEYDEF]"
    std::size_t block_line_ = 0;      // where the open block began
    std::size_t block_end_line_ = 0;  // where the last block ended
    std::string_view section_;        // start marker of the open section
    std::size_t section_line_ = 0;
    std::size_t section_lines_ = 0;    // lines read in the open section
    std::size_t section_suspect_ = 0;  // first line there that starts with "[/"
    std::string section_suspect_text_;
    std::size_t macro_line_ = 0;  // where the open macro began
    std::size_t trace_line_ = 0;  // ignored key line whose traces the working key holds
    std::vector<KeyRef> keys_;    // of the working panel
    std::map<std::int32_t, std::size_t> sound_lines_;  // where each sound was defined
    std::size_t normal_image_line_ = 0;                // where the images were named
    std::size_t pressed_image_line_ = 0;
    std::string cut_image_;       // the working panel's normal image path as written, when cut
    std::string cut_image_kept_;  // what the reader kept of it
    // Before the first block, reports are held back (a few): a file that
    // turns out to be XML or binary data gets one report that says so
    // instead of one for each of its lines.
    bool keydef_seen_ = false;  // a block was opened
    bool passing_ = false;      // reports go out at once: a block was opened, or so much text
    FileStart start_ = FileStart::kUnknown;
    bool binary_ = false;           // a NUL or another control byte came before any block
    bool keydef_element_ = false;   // an XML start holds "<keydef"
    std::vector<HeldReport> held_;  // at most kMaxHeldReports
    bool quiet_ = false;            // XML or binary data overflowed held_: reports are counted
    std::size_t quiet_lines_ = 0;   // lines whose reports were only counted
    std::size_t quiet_first_ = 0;   // the first of them
    std::size_t quiet_last_ = 0;    // the last of them
};

}  // namespace dravonix
