// What the legacy reader drops or changes while it reads a file, told to an
// observer the caller passes in. The reader never fails on content; this is
// how a user learns what a hand-edited file lost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/keyboard_media.h"

namespace dravonix {

/// The kinds of things the legacy reader drops or changes.
enum class KbdIssue : std::uint8_t {
    kUnclosedKeydef,        // a KEYDEF block without "[/KEYDEF]": the whole panel is dropped
    kUnclosedSection,       // a section whose end marker never came
    kMarkerCase,            // a marker in the wrong letter case, read as an ordinary line
    kMarkerMisplaced,       // a marker where it means nothing, read as an ordinary line
    kStrayLine,             // a line outside any block that is not the keyboard's name
    kExtraPanel,            // a "[/KEYDEF]" outside any block: a further panel of the lines before
    kUnknownHeader,         // a header line that is no known header key
    kKeyLineUnread,         // a key line the scanner did not understand: no key
    kKeyLinePartial,        // a key line read only in part
    kShiftTraces,           // a line that leaves its values in the next shift key
    kPointsCut,             // more than 256 points: the rest dropped
    kTargetCut,             // a target longer than 127 characters: cut
    kNumberSaturated,       // a number outside 32 bits, saturated
    kStrokeUnread,          // a macro stroke line not understood
    kMacroUnclosed,         // a macro still open at the end of the file: dropped
    kMacroClosedBySection,  // a macro closed by its section's end marker, not ".MACROENDS"
    kSoundLine,             // a sound line ignored
    kSoundIdZero,           // a sound line without a number at its start, read as sound 0
    kSoundDuplicate,        // a sound id defined twice: the first wins
    kSoundMissing,          // a key or macro sound id with no entry in its panel's table
    kLongLine,              // a line longer than 4096 characters, read in pieces
    kNulByte,               // a NUL byte inside a line: the rest of the line is lost
    kNulLine,               // a NUL byte at the start of a line: the whole line is lost
    kLoneCr,                // a CR not followed by LF, kept in the line or cutting it
    kLoneCrLine,            // a CR not followed by LF at the start of a line: the line is lost
    kImagePathCut,          // an image path cut at a blank
    kCharacterReplaced,     // a UTF-8 character without a byte in the code page, read as "?"
                            // (or a byte that is no UTF-8 in a file marked as UTF-8, or a
                            // key's character that is a lead byte, saved as U+FFFD)
    kNoKeydef,              // no KEYDEF block in the whole file: no keyboard (reported last)
};

/// The short name of a kind as reports show it in brackets, such as
/// "unclosed-keydef".
std::string_view KbdIssueName(KbdIssue kind);

/// Receives what the reader drops or changes, in the order of the file.
class KbdObserver {
public:
    virtual ~KbdObserver() = default;

    /// line is the 1-based physical line of the file the report is about
    /// (newlines counted, so never past the file's last line; a report about
    /// the whole file, such as kNoKeydef, names line 1); details says
    /// what happened, in words for a user (no file name, no kind). Text quoted
    /// from the file in details is Windows-1252, like the model's text, with
    /// control characters written as \xNN.
    virtual void Report(std::size_t line, KbdIssue kind, std::string_view details) = 0;

    /// A report about lines first to last that the reader drops as a whole
    /// (a KEYDEF block or a macro never closed), so that reports about lines
    /// inside it are known to be lost with it. By default, a report about
    /// first.
    virtual void ReportDropped(std::size_t first, std::size_t last, KbdIssue kind,
                               std::string_view details) {
        (void)last;
        Report(first, kind, details);
    }

    /// The normal image path of the panel read as panel (its index among
    /// the panels of the keyboard) was cut at a blank: written is the path
    /// as the file gives it (Windows-1252), besides the report of the cut.
    /// For a picture's note; by default ignored.
    virtual void PanelImageCut(std::size_t panel, std::string_view written) {
        (void)panel;
        (void)written;
    }

    /// Where a panel the reader completed names a file (model/keyboard_media.h):
    /// told for each name the panel keeps once its "[/KEYDEF]" is read, with
    /// panel its index in the keyboard and sound the sound's id (-1 for an
    /// image). The default ignores it.
    virtual void MediaNamed(std::size_t /*line*/, std::size_t /*panel*/, MediaRole /*role*/,
                            std::int32_t /*sound*/) {}
};

}  // namespace dravonix
