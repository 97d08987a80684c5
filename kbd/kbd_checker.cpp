#include "kbd/kbd_checker.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "kbd/key_line.h"
#include "kbd/key_line_check.h"
#include "kbd/scanner.h"
#include "platform/counted_noun.h"

namespace dravonix {

namespace {

using S = KbdLineState;

constexpr std::string_view kKeydefStart = "[KEYDEF]";
constexpr std::string_view kKeydefEnd = "[/KEYDEF]";
constexpr std::string_view kMacroEnd = ".MACROENDS";
constexpr std::string_view kNotInfluencedEnd = "[/NOT INFLUENCED BY SHIFT]";

/// Longest piece of the file quoted in a report.
constexpr std::size_t kMaxQuoted = 40;

/// Most reports held back before the first KEYDEF block: a legacy keyboard
/// has its name there and little else.
constexpr std::size_t kMaxHeldReports = 64;

/// text in double quotes, cut after kMaxQuoted characters, with control
/// characters written as \xNN.
std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size() && i < kMaxQuoted; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            quoted += escaped;
        } else {
            quoted += text[i];
        }
    }
    if (text.size() > kMaxQuoted) quoted += "...";
    return quoted + "\"";
}

std::string LineNumber(std::size_t line) { return "line " + std::to_string(line); }

/// The panel in words: its name and what it holds.
std::string PanelWords(const SubKeyDefinition& panel) {
    std::string words = panel.name.empty() ? "panel without a name" : "panel " + Quote(panel.name);
    const std::size_t keys = panel.nonshiftkeys.key.size() + panel.keyswithoutshift.key.size() +
                             panel.keyswithshift.key.size();
    const std::size_t macros = panel.nonshiftkeys.macro.size();
    if (keys == 0 && macros == 0) return words + " with no keys";
    words += " with " + CountedNoun(keys, "key");
    if (macros > 0) words += " and " + CountedNoun(macros, "macro");
    return words;
}

/// The end marker of a section given by its start marker.
std::string EndMarker(std::string_view start) { return "[/" + std::string(start.substr(1)); }

bool IsSection(S state) { return state != S::OutsideKeydef && state != S::InKeydef; }

/// True when text holds needle in another letter case (ASCII letters).
bool ContainsIgnoringCase(std::string_view text, std::string_view needle, std::size_t* at) {
    const auto same = [](char a, char b) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        return lower(a) == lower(b);
    };
    const auto found = std::search(text.begin(), text.end(), needle.begin(), needle.end(), same);
    if (found == text.end()) return false;
    *at = static_cast<std::size_t>(found - text.begin());
    return true;
}

/// True when line begins with key; value then is the text one character
/// after the key, as the header keys read it.
// False when line cannot hold any marker in any letter case: every marker
// starts with "[" and a letter or "/", or is ".MACROENDS". Key lines, whose
// "[" is followed by a number, are so passed over with one scan, which keeps
// a checked read close to the speed of a plain one.
bool MayHoldMarker(std::string_view line) {
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const char c = line[i];
        if (c != '[' && c != '.') continue;
        const char lower = static_cast<char>(line[i + 1] | 0x20);
        if (c == '[' ? (line[i + 1] == '/' || (lower >= 'a' && lower <= 'z')) : lower == 'm') {
            return true;
        }
    }
    return false;
}

bool TakeValue(std::string_view line, std::string_view key, std::string_view& value) {
    if (!line.starts_with(key)) return false;
    const std::size_t start = key.size() + 1;
    value = start < line.size() ? line.substr(start) : std::string_view{};
    return true;
}

/// Reads an integer as Scanner::Int does; a number beyond 32 bits (and so
/// saturated) is noted in *outside, unless one was noted before.
bool ReadInt(Scanner& scan, std::string_view text, std::int32_t& value, std::string_view* outside) {
    const std::size_t start = scan.position();
    if (!scan.Int(value)) return false;
    std::string_view number = text.substr(start, scan.position() - start);
    number.remove_prefix(number.find_first_not_of(" \t\n\v\f\r"));
    if (outside->empty() && IsOutside32Bits(number)) *outside = number;
    return true;
}

std::string SaturatedText(std::string_view number) {
    const bool negative = number.starts_with('-');
    return "number " + Quote(number) + " does not fit in 32 bits: read as " +
           std::to_string(negative ? std::numeric_limits<std::int32_t>::min()
                                   : std::numeric_limits<std::int32_t>::max());
}

}  // namespace

void KbdChecker::Report(std::size_t line, KbdIssue kind, const std::string& details) {
    if (passing_) {
        observer_.Report(line, kind, details);
        return;
    }
    if (!quiet_ && held_.size() < kMaxHeldReports) {
        held_.push_back({line, kind, details});
        return;
    }
    if (!quiet_ && !NoLegacyText()) {
        // So many lines of text before any block: their reports go out as
        // they come, whatever follows.
        ReleaseHeldReports();
        passing_ = true;
        observer_.Report(line, kind, details);
        return;
    }
    // The lines of XML or binary data: one report will say what the file is.
    if (!quiet_) {
        quiet_ = true;
        for (const HeldReport& held : held_) CountQuietLine(held.line);
        held_ = {};
    }
    CountQuietLine(line);
}

void KbdChecker::CountQuietLine(std::size_t line) {
    if (quiet_lines_ == 0 || line != quiet_last_) ++quiet_lines_;
    if (quiet_first_ == 0) quiet_first_ = line;
    quiet_last_ = line;
}

void KbdChecker::ReleaseHeldReports() {
    for (const HeldReport& held : held_) observer_.Report(held.line, held.kind, held.details);
    held_ = {};
}

bool KbdChecker::NoLegacyText() const {
    return binary_ || start_ == FileStart::kXml || start_ == FileStart::kUtf16;
}

void KbdChecker::WatchFileStart(std::string_view raw, bool had_nul) {
    if (passing_) return;
    if (start_ == FileStart::kXml && !keydef_element_) {
        keydef_element_ = raw.find("<keydef") != std::string_view::npos;
    }
    if (start_ == FileStart::kUnknown) {
        const std::size_t first = raw.find_first_not_of(" \t\v\f");
        if (first == std::string_view::npos && !had_nul) return;
        if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF")) {
            start_ = FileStart::kUtf16;
        } else if (first != std::string_view::npos && raw[first] == '<') {
            start_ = FileStart::kXml;
            keydef_element_ = raw.find("<keydef") != std::string_view::npos;
        } else {
            start_ = FileStart::kText;
        }
    }
    // Text holds no control bytes but tabs, CRs and the DOS end-of-file mark.
    if (had_nul) binary_ = true;
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\r' && byte != 0x1A) binary_ = true;
    }
}

void KbdChecker::FirstBlockOpened() {
    keydef_seen_ = true;
    passing_ = true;
    ReleaseHeldReports();
    if (quiet_ && quiet_lines_ > 0) {
        Report(quiet_first_, KbdIssue::kStrayLine,
               CountedNoun(quiet_lines_, "line") + " before the first \"[KEYDEF]\" at " +
                   LineNumber(line_) + " (the file starts like " +
                   (start_ == FileStart::kXml     ? "XML"
                    : start_ == FileStart::kUtf16 ? "UTF-16 text"
                                                  : "binary data") +
                   "): ignored");
    }
}

void KbdChecker::ReportNoKeydef() {
    std::string details = "no [KEYDEF] block found: the file holds no keyboard";
    if (start_ == FileStart::kUtf16) {
        details =
            "no [KEYDEF] block found: the file is UTF-16 text, which the reader cannot read "
            "(save it as ANSI or UTF-8)";
    } else if (start_ == FileStart::kXml && !binary_) {
        details = keydef_element_ ? "this is an XML keyboard file: use dravonix-resave"
                                  : "no [KEYDEF] block found: this is an XML file, not a keyboard";
    } else if (binary_) {
        details = "no [KEYDEF] block found: the file holds binary data (an image?), not a keyboard";
    }
    // What the lines of plain text were is worth telling; of the rest, not.
    if (NoLegacyText()) {
        held_ = {};
    } else {
        ReleaseHeldReports();
    }
    passing_ = true;
    Report(1, KbdIssue::kNoKeydef, details);
}

void KbdChecker::Piece(const LineReader& reader, std::string_view raw, std::string_view line) {
    const std::size_t piece_line = reader.line();
    if (piece_line == line_) {
        // Only a line longer than a piece gives two pieces on one line.
        if (long_line_ == 0) {
            long_line_ = line_;
            long_pieces_ = 1;
            long_handled_ = false;
        }
        ++long_pieces_;
        if (!line.empty()) long_handled_ = true;
    } else {
        FinishLongLine();
        long_added_ = added_;
    }
    line_ = piece_line;
    name_ = name_next_;
    name_next_ = false;
    WatchFileStart(raw, reader.piece_had_nul());
    ReportCharacterChanges(reader, line_);

    if (reader.piece_had_nul()) {
        const std::size_t lost = reader.piece_length() - raw.size() - 1;
        if (lost > 0 && raw.find_first_of(";#") == std::string_view::npos) {
            if (raw.empty()) {
                Report(line_, KbdIssue::kNulLine,
                       "a NUL byte starts the line: the whole line (" +
                           CountedNoun(lost, "character") + " after it) is lost");
            } else {
                Report(line_, KbdIssue::kNulByte,
                       "a NUL byte ends the line: the " + CountedNoun(lost, "character") +
                           (lost == 1 ? " after it is lost" : " after it are lost"));
            }
        }
    }
    if (reader.piece_had_lone_cr()) ReportLoneCr(raw);
}

void KbdChecker::ReportLoneCr(std::string_view raw) {
    if (name_) {
        Report(line_, KbdIssue::kLoneCr, "a CR not followed by LF stays in the keyboard's name");
        return;
    }
    const std::size_t cr = raw.find('\r');
    // Cleaning stops at the first ";", "#" or CR: a CR after a comment mark
    // changes nothing.
    if (raw.find_first_of(";#\r") != cr) return;
    const std::string_view rest = raw.substr(cr + 1);
    if (cr + 1 < raw.size() && raw[cr + 1] == '\'') {
        Report(line_, KbdIssue::kLoneCr, "a CR not followed by LF stays in the line");
        return;
    }
    if (rest.find_first_not_of(" \t\r") == std::string_view::npos) return;
    if (raw.find_first_not_of(" \t") == cr) {
        Report(line_, KbdIssue::kLoneCrLine,
               "a CR not followed by LF starts the line: the whole line is ignored");
    } else {
        Report(line_, KbdIssue::kLoneCr,
               "a CR not followed by LF ends the line: " + Quote(rest) + " after it is ignored");
    }
}

void KbdChecker::FinishLongLine() {
    if (long_line_ == 0) return;
    const std::size_t line = long_line_;
    long_line_ = 0;
    // A comment cut into pieces loses nothing.
    if (!long_handled_) return;
    const std::size_t added = added_ - long_added_;
    Report(line, KbdIssue::kLongLine,
           "line longer than " + std::to_string(kMaxLinePiece) + " characters read as " +
               std::to_string(long_pieces_) + " pieces, each taken as a line of its own: " +
               (added == 0 ? std::string("they added no key")
                           : "they added " + CountedNoun(added, "key")));
}

void KbdChecker::ReportCharacterChanges(const LineReader& reader, std::size_t up_to_line) {
    const std::vector<CharacterChange>& changes = reader.character_changes();
    for (; changes_reported_ < changes.size() && changes[changes_reported_].line <= up_to_line;
         ++changes_reported_) {
        const CharacterChange& change = changes[changes_reported_];
        char text[96];
        if (change.not_utf8) {
            std::snprintf(text, sizeof text,
                          "byte 0x%02X is no UTF-8 in a file marked as UTF-8: kept as it is",
                          static_cast<unsigned>(change.code_point));
        } else if (page_ == CodePage()) {
            std::snprintf(text, sizeof text,
                          "character U+%04X has no Windows-1252 byte: read as \"?\"",
                          static_cast<unsigned>(change.code_point));
        } else {
            std::snprintf(text, sizeof text,
                          "character U+%04X has no byte in code page %u: read as \"?\"",
                          static_cast<unsigned>(change.code_point), page_.Number());
        }
        Report(change.line, KbdIssue::kCharacterReplaced, text);
    }
}

void KbdChecker::HandleLine(std::string_view line, KbdWork& work, KeyDefinition& definition) {
    const S state = work.state;
    const bool after_block_start = after_block_start_;
    after_block_start_ = false;
    if (IsSection(state)) ++section_lines_;
    const bool may_hold_marker = MayHoldMarker(line);
    const std::string_view marker =
        may_hold_marker ? FindKbdMarker(state, line) : std::string_view();
    if (!marker.empty()) {
        HandleMarker(line, marker, work, definition);
        return;
    }
    if (IsSection(state) && section_suspect_ == 0 && line.starts_with("[/")) {
        section_suspect_ = line_;
        section_suspect_text_ = line;
    }
    const bool quiet = name_ || (may_hold_marker && ReportMarkerProblem(line, state));

    switch (state) {
        case S::OutsideKeydef:
            if (!quiet) {
                Report(line_, KbdIssue::kStrayLine,
                       "line before the first \"[KEYDEF]\" is not the keyboard's name: ignored");
            }
            HandleKbdLine(line, work, definition);
            return;
        case S::InKeydef:
            if (!quiet && !block_open_) {
                const bool header = line.starts_with("xres") || line.starts_with("normal jpeg") ||
                                    line.starts_with("pressed jpeg");
                Report(line_, KbdIssue::kStrayLine,
                       "line outside any KEYDEF block (the last one ended at " +
                           LineNumber(block_end_line_) + "): ignored" +
                           (header ? " unless a further \"[/KEYDEF]\" comes before the next "
                                     "\"[KEYDEF]\""
                                   : ""));
            } else if (!quiet) {
                after_block_start_ = after_block_start;
                CheckHeaderLine(line);
                after_block_start_ = false;
            }
            NoteImageLine(line, work, definition);
            return;
        case S::InSounds: {
            if (!quiet) CheckSoundLine(line, work);
            HandleKbdLine(line, work, definition);
            std::int32_t id = 0;
            (void)Scanner(line).Int(id);
            if (!work.panel.sounds.contains(id)) {
                sound_lines_.erase(id);
            } else if (!sound_lines_.contains(id)) {
                sound_lines_[id] = line_;
            }
            return;
        }
        case S::InNotInfluenced: {
            const std::size_t keys = work.panel.nonshiftkeys.key.size();
            HandleKbdLine(line, work, definition);
            if (work.state == S::InMacro) {
                macro_line_ = line_;
                trace_line_ = 0;
                CheckKeyLineOutcome(line, true, quiet, nullptr);
                return;
            }
            const bool added = work.panel.nonshiftkeys.key.size() > keys;
            const Key* key = added ? &work.panel.nonshiftkeys.key.back() : nullptr;
            if (added) {
                ++added_;
                keys_.push_back({line_, key->sound});
            }
            CheckKeyLineOutcome(line, added, quiet, key);
            // The section resets the working key before each line, not after
            // an ignored one.
            trace_line_ = work.key.shape.polygon.empty() ? 0 : line_;
            return;
        }
        case S::InMacro: {
            const std::size_t strokes = work.macro.mkey.size();
            HandleKbdLine(line, work, definition);
            if (!quiet) CheckStrokeLine(line, strokes, work.macro);
            return;
        }
        case S::InShiftCapsOff:
        case S::InShiftCapsOn: {
            const KeyList& list =
                state == S::InShiftCapsOff ? work.panel.keyswithoutshift : work.panel.keyswithshift;
            const std::size_t keys = list.key.size();
            const std::size_t outlines_before = work.key.shape.polygon.size();
            HandleKbdLine(line, work, definition);
            if (list.key.size() == keys) {
                CheckKeyLineOutcome(line, false, quiet, nullptr);
                if (trace_line_ == 0 && !work.key.shape.polygon.empty()) trace_line_ = line_;
                return;
            }
            const Key& key = list.key.back();
            ++added_;
            keys_.push_back({line_, key.sound});
            CheckKeyLineOutcome(line, true, quiet, &key);
            if (trace_line_ != 0 && outlines_before > 0) {
                // What the line itself gives, to tell the traces apart.
                Key own;
                ParseKeyLine(line, own);
                std::string taken =
                    "its outline (" + CountedNoun(key.shape.polygon.size(), "outline") + " in all)";
                if (key.sound != own.sound) taken += ", sound id " + std::to_string(key.sound);
                if (key.vkey != own.vkey) taken += ", virtual-key code " + std::to_string(key.vkey);
                if (key.character != own.character) taken += ", its character";
                if (key.target != own.target) taken += ", its target";
                Report(line_, KbdIssue::kShiftTraces,
                       "key takes values left in the working key by the key line ignored at " +
                           LineNumber(trace_line_) + ": " + taken);
            }
            trace_line_ = 0;
            return;
        }
    }
}

bool KbdChecker::ReportMarkerProblem(std::string_view line, S state) {
    const auto section_words = [&] {
        if (state == S::InMacro) {
            return "the macro begun at " + LineNumber(macro_line_) +
                   ", which only \".MACROENDS\" or \"[/NOT INFLUENCED BY SHIFT]\" end";
        }
        return "section \"" + std::string(section_) + "\" begun at " + LineNumber(section_line_) +
               ", which only \"" + EndMarker(section_) + "\" ends";
    };
    for (std::string_view marker : KbdMarkers()) {
        if (line.find(marker) == std::string_view::npos) continue;
        std::string details = "marker \"" + std::string(marker) + "\" ";
        if (marker == kMacroEnd && state != S::InMacro) {
            details += "outside a macro: ignored";
        } else if (state == S::OutsideKeydef) {
            details += "before the first \"[KEYDEF]\": ignored";
        } else if (state == S::InKeydef) {
            details += "without its section: ignored";
        } else {
            details += "is read as a line of " + section_words();
        }
        Report(line_, KbdIssue::kMarkerMisplaced, details);
        return true;
    }
    for (std::string_view marker : KbdMarkers()) {
        std::size_t at = 0;
        if (!ContainsIgnoringCase(line, marker, &at)) continue;
        Report(line_, KbdIssue::kMarkerCase,
               "marker " + Quote(line.substr(at, marker.size())) +
                   " is not in the exact letter case \"" + std::string(marker) +
                   "\": read as an ordinary line");
        return true;
    }
    if (IsSection(state) && line.starts_with("[/")) {
        const KbdIssue kind = state == S::InSounds  ? KbdIssue::kSoundLine
                              : state == S::InMacro ? KbdIssue::kStrokeUnread
                                                    : KbdIssue::kKeyLineUnread;
        Report(
            line_, kind,
            Quote(line) + " is no marker: read as a line of " + section_words() + ", and ignored");
        return true;
    }
    return false;
}

void KbdChecker::HandleMarker(std::string_view line, std::string_view marker, KbdWork& work,
                              KeyDefinition& definition) {
    const S state = work.state;
    if (state == S::OutsideKeydef) {
        FirstBlockOpened();
        HandleKbdLine(line, work, definition);
        block_open_ = true;
        block_line_ = line_;
        after_block_start_ = true;
        ResetPanel();
        return;
    }
    if (state == S::InKeydef) {
        if (marker == kKeydefEnd) {
            if (!block_open_) {
                Report(line_, KbdIssue::kExtraPanel,
                       "\"[/KEYDEF]\" outside any KEYDEF block (the last one ended at " +
                           LineNumber(block_end_line_) +
                           "): adds a further panel made of the lines since then");
            }
            CheckSounds(work.panel);
            if (!cut_image_.empty() && work.panel.jpegnormal == cut_image_kept_) {
                observer_.PanelImageCut(definition.subkeydef.size(), cut_image_);
            }
            const std::size_t panels = definition.subkeydef.size();
            HandleKbdLine(line, work, definition);
            if (definition.subkeydef.size() > panels) ReportMedia(definition);
            block_open_ = false;
            block_end_line_ = line_;
            ResetPanel();
            return;
        }
        if (marker == kKeydefStart) {
            if (block_open_) {
                observer_.ReportDropped(
                    block_line_, line_ - 1, KbdIssue::kUnclosedKeydef,
                    "KEYDEF block not closed by \"[/KEYDEF]\" before the \"[KEYDEF]\" at " +
                        LineNumber(line_) + ": " + PanelWords(work.panel) + " dropped");
            }
            HandleKbdLine(line, work, definition);
            block_open_ = true;
            block_line_ = line_;
            after_block_start_ = true;
            ResetPanel();
            return;
        }
        if (!block_open_) {
            Report(line_, KbdIssue::kStrayLine,
                   "section \"" + std::string(marker) +
                       "\" outside any KEYDEF block (the last one ended at " +
                       LineNumber(block_end_line_) +
                       "): its lines are ignored unless a further \"[/KEYDEF]\" comes before the "
                       "next \"[KEYDEF]\"");
        }
        HandleKbdLine(line, work, definition);
        section_ = marker;
        section_line_ = line_;
        section_lines_ = 0;
        section_suspect_ = 0;
        return;
    }
    if (state == S::InMacro) {
        const std::int32_t sound = work.macro.sound;
        if (marker == kNotInfluencedEnd) {
            Report(line_, KbdIssue::kMacroClosedBySection,
                   "macro begun at " + LineNumber(macro_line_) +
                       " closed by \"[/NOT INFLUENCED BY SHIFT]\" rather than \".MACROENDS\": "
                       "kept with its " +
                       CountedNoun(work.macro.mkey.size(), "stroke"));
        }
        HandleKbdLine(line, work, definition);
        ++added_;
        keys_.push_back({macro_line_, sound});
        macro_line_ = 0;
        if (work.state == S::InKeydef) section_ = {};
        return;
    }
    HandleKbdLine(line, work, definition);
    section_ = {};
}

void KbdChecker::CheckHeaderLine(std::string_view line) {
    std::string_view value;
    if (TakeValue(line, "xres", value)) {
        std::int32_t xres = 0;
        std::string_view outside;
        Scanner scan(value);
        if (!ReadInt(scan, value, xres, &outside)) {
            Report(line_, KbdIssue::kUnknownHeader,
                   "\"xres\" value " + Quote(value) +
                       " is not a number (the one character after \"xres\" is skipped): the "
                       "panel's name is not set");
        } else if (xres == 0) {
            Report(line_, KbdIssue::kUnknownHeader,
                   "\"xres\" value 0 does not name the panel: ignored");
        } else if (!outside.empty()) {
            Report(line_, KbdIssue::kNumberSaturated, SaturatedText(outside));
        }
        return;
    }
    if (TakeValue(line, "minout", value)) return;
    for (std::string_view key : {"normal jpeg", "pressed jpeg"}) {
        if (!TakeValue(line, key, value)) continue;
        std::string path;
        Scanner scan(value);
        if (!scan.Word(path)) {
            Report(line_, KbdIssue::kUnknownHeader,
                   "\"" + std::string(key) + "\" without a path: ignored");
            return;
        }
        std::string_view rest = value.substr(scan.position());
        rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(" \t\n\v\f\r")));
        if (key == "normal jpeg") {
            cut_image_.clear();
            if (!rest.empty()) {
                cut_image_ = value.substr(std::min(value.size(), value.find_first_not_of(" \t")));
                cut_image_kept_ = path;
            }
        }
        if (!rest.empty()) {
            Report(
                line_, KbdIssue::kImagePathCut,
                "image path cut at a blank: " + Quote(path) + " kept, " + Quote(rest) + " dropped");
        }
        return;
    }
    if (after_block_start_) {
        Report(line_, KbdIssue::kUnknownHeader,
               "line " + Quote(line) +
                   " after \"[KEYDEF]\" is no header key: ignored (the keyboard takes its name "
                   "once, from the line after the file's first non-empty line)");
        return;
    }
    Report(line_, KbdIssue::kUnknownHeader,
           "line " + Quote(line) +
               " is no header key (\"xres\", \"minout\", \"normal jpeg\" or \"pressed jpeg\", "
               "in this letter case): ignored");
}

void KbdChecker::CheckSoundLine(std::string_view line, const KbdWork& work) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0 || equals + 1 == line.size()) {
        Report(line_, KbdIssue::kSoundLine, "sound line is not \"id=file\": ignored");
        return;
    }
    std::int32_t id = 0;
    std::string_view outside;
    Scanner scan(line);
    if (!ReadInt(scan, line, id, &outside)) {
        Report(line_, KbdIssue::kSoundIdZero,
               "sound line does not start with a number: read as sound 0");
    } else if (id < 0) {
        Report(line_, KbdIssue::kSoundLine,
               "negative sound id " + std::to_string(id) + ": ignored");
        return;
    } else if (!outside.empty()) {
        Report(line_, KbdIssue::kNumberSaturated, SaturatedText(outside));
    }
    std::string_view value = line.substr(equals + 1);
    value.remove_prefix(std::min(value.size(), value.find_first_not_of(" \t")));
    if (!work.panel.sounds.contains(id)) return;
    const auto first = sound_lines_.find(id);
    const std::string where =
        first == sound_lines_.end() ? std::string("earlier") : "at " + LineNumber(first->second);
    if (value == "not defined") {
        Report(line_, KbdIssue::kSoundDuplicate,
               "\"not defined\" does not remove sound " + std::to_string(id) + " defined " + where +
                   ": the first definition wins");
    } else {
        Report(line_, KbdIssue::kSoundDuplicate,
               "sound " + std::to_string(id) + " defined again: the definition " + where +
                   " wins, " + Quote(value) + " is ignored");
    }
}

void KbdChecker::CheckKeyLineOutcome(std::string_view line, bool added, bool quiet,
                                     const Key* key) {
    if (quiet) return;
    if (key != nullptr && page_.IsLeadByte(static_cast<unsigned char>(key->character))) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "the key's character 0x%02X is the first byte of a two-byte character in "
                      "code page %u: saved as U+FFFD; use a key of type 16 with a text",
                      static_cast<unsigned>(static_cast<unsigned char>(key->character)),
                      page_.Number());
        Report(line_, KbdIssue::kCharacterReplaced, text);
    }
    if (added && IsPlainKeyLine(line)) return;  // most lines: nothing to report
    const KeyLineCheck check = CheckKeyLine(line);
    if (!added) {
        std::string details;
        const std::string stop = check.fields_end.empty()
                                     ? std::string()
                                     : " (" + Quote(check.fields_end) + " is not a number)";
        switch (check.reach) {
            case KeyLineReach::kNoBracket:
                details = "line is no key line (it does not start with \"[\"): ignored";
                break;
            case KeyLineReach::kNoClose:
                details = "key line has no \"]\" to close its outline: ignored";
                break;
            case KeyLineReach::kNoFields:
                details = "key line has no comma after its outline, so no type: key dropped";
                break;
            case KeyLineReach::kFields:
                if (check.fields == 0) {
                    details = "key line has no sound id and no type" + stop + ": key dropped";
                } else if (check.fields == 1) {
                    details = "key line has no type" + stop + ": key dropped";
                } else {
                    details = "key line has type -1: key dropped";
                }
                break;
        }
        Report(line_, KbdIssue::kKeyLineUnread, details);
        return;
    }

    const std::size_t pairs = check.numbers / 2;
    if (check.points == kMaxKeyLinePoints && pairs > kMaxKeyLinePoints) {
        Report(line_, KbdIssue::kPointsCut,
               "outline of " + CountedNoun(pairs, "point") + ": only the first " +
                   std::to_string(kMaxKeyLinePoints) + " kept");
    } else if (check.points < pairs) {
        Report(line_, KbdIssue::kKeyLinePartial,
               (check.blank_before_comma ? std::string("a blank before the comma ends the points")
                                         : "the points end at " + Quote(check.points_end)) +
                   ": " + std::to_string(check.points) + " of " + CountedNoun(pairs, "point") +
                   " read");
    } else if (check.numbers % 2 == 1) {
        Report(line_, KbdIssue::kKeyLinePartial,
               "the outline has an odd number of coordinates: the last one is ignored");
    }

    if (key != nullptr && check.type != 16) {
        const std::string at =
            check.fields_end.empty() ? std::string() : " (at " + Quote(check.fields_end) + ")";
        if (check.fields == 2) {
            Report(line_, KbdIssue::kKeyLinePartial,
                   "virtual-key field missing" + at + ": key added without it");
        } else if (check.fields == 3 && key->vkey == -1) {
            Report(line_, KbdIssue::kKeyLinePartial,
                   "number before the character missing" + at + ": key added without a character");
        } else if (check.fields == 4 && key->vkey == -1) {
            Report(line_, KbdIssue::kKeyLinePartial,
                   "character not in single quotes" + at + ": key added without a character");
        }
    }
    if (key != nullptr && check.type == 16) {
        if (!check.target_quoted) {
            Report(line_, KbdIssue::kKeyLinePartial,
                   "type-16 key has no target in double quotes: key added with an empty target");
        } else if (!check.target_closed) {
            Report(line_, KbdIssue::kKeyLinePartial,
                   "target has no closing double quote: it runs to the end of the line "
                   "(where a \";\" or \"#\" not followed by a quote starts a comment)");
        }
        if (check.target_length > kMaxKeyTargetLength) {
            Report(line_, KbdIssue::kTargetCut,
                   "target of " + CountedNoun(check.target_length, "character") + " cut to " +
                       std::to_string(kMaxKeyTargetLength));
        }
    }
    if (!check.saturated.empty()) {
        Report(line_, KbdIssue::kNumberSaturated, SaturatedText(check.saturated));
    }
}

void KbdChecker::CheckStrokeLine(std::string_view line, std::size_t strokes_before,
                                 const Macro& macro) {
    std::int32_t vkey = 0;
    std::int32_t pressed = 0;
    char character = 0;
    std::string_view outside;
    int items = 0;
    Scanner scan(line);
    if (ReadInt(scan, line, vkey, &outside)) {
        ++items;
        if (scan.Match(",") && ReadInt(scan, line, pressed, &outside)) {
            ++items;
            if (scan.Match(",'") && scan.Char(character)) ++items;
        }
    }
    if (macro.mkey.size() > strokes_before) {
        if (!outside.empty()) Report(line_, KbdIssue::kNumberSaturated, SaturatedText(outside));
        return;
    }
    if (line.starts_with('[')) {
        Report(line_, KbdIssue::kStrokeUnread,
               "a key line cannot stand in the macro begun at " + LineNumber(macro_line_) +
                   " (is \".MACROENDS\" missing before it?): ignored");
    } else if (items == 3) {
        Report(line_, KbdIssue::kStrokeUnread,
               "a stroke with a character must start with -1: ignored");
    } else {
        Report(line_, KbdIssue::kStrokeUnread,
               "macro stroke line not understood (a stroke is \"vkey,pressed\" or "
               "\"-1,0,'c'\"): ignored");
    }
}

void KbdChecker::NoteImageLine(std::string_view line, KbdWork& work, KeyDefinition& definition) {
    const bool normal = line.starts_with("normal jpeg");
    if (!normal && !line.starts_with("pressed jpeg")) {
        HandleKbdLine(line, work, definition);
        return;
    }
    std::string& image = normal ? work.panel.jpegnormal : work.panel.jpegpressed;
    std::size_t& image_line = normal ? normal_image_line_ : pressed_image_line_;
    const std::string before = image;
    HandleKbdLine(line, work, definition);
    if (image != before || image_line == 0) image_line = line_;
}

void KbdChecker::ReportMedia(const KeyDefinition& definition) {
    if (definition.subkeydef.empty()) return;
    const std::size_t index = definition.subkeydef.size() - 1;
    const SubKeyDefinition& panel = definition.subkeydef.back();
    const auto at = [this](std::size_t line) { return line != 0 ? line : block_line_; };
    if (!panel.jpegnormal.empty()) {
        observer_.MediaNamed(at(normal_image_line_), index, MediaRole::kNormalImage, -1);
    }
    if (!panel.jpegpressed.empty()) {
        observer_.MediaNamed(at(pressed_image_line_), index, MediaRole::kPressedImage, -1);
    }
    for (const auto& [id, name] : panel.sounds) {
        const auto line = sound_lines_.find(id);
        observer_.MediaNamed(at(line == sound_lines_.end() ? 0 : line->second), index,
                             MediaRole::kSound, id);
    }
}

void KbdChecker::CheckSounds(const SubKeyDefinition& panel) {
    for (const KeyRef& ref : keys_) {
        if (ref.sound == -1 || panel.sounds.contains(ref.sound)) continue;
        Report(ref.line, KbdIssue::kSoundMissing,
               "sound " + std::to_string(ref.sound) + " is not in the panel's table");
    }
}

void KbdChecker::ResetPanel() {
    keys_.clear();
    sound_lines_.clear();
    cut_image_.clear();
    normal_image_line_ = 0;
    pressed_image_line_ = 0;
}

void KbdChecker::End(const LineReader& reader, const KbdWork& work) {
    FinishLongLine();
    ReportCharacterChanges(reader, std::numeric_limits<std::size_t>::max());
    const S state = work.state;
    if (state == S::InMacro) {
        observer_.ReportDropped(
            macro_line_, line_, KbdIssue::kMacroUnclosed,
            "macro still open at the end of the file (no \".MACROENDS\"): dropped with its " +
                CountedNoun(work.macro.mkey.size(), "stroke"));
    }
    if (IsSection(state)) {
        std::string details = "section \"" + std::string(section_) + "\" begun at " +
                              LineNumber(section_line_) + " not closed by \"" +
                              EndMarker(section_) + "\": the " +
                              CountedNoun(section_lines_, "line") +
                              " after it, to the end of the file, were read as its lines";
        if (section_suspect_ != 0) {
            details += ", " + Quote(section_suspect_text_) + " at " + LineNumber(section_suspect_) +
                       " among them";
        }
        Report(section_suspect_ != 0 ? section_suspect_ : line_, KbdIssue::kUnclosedSection,
               details);
    }
    if (block_open_) {
        observer_.ReportDropped(
            block_line_, line_, KbdIssue::kUnclosedKeydef,
            "KEYDEF block not closed by \"[/KEYDEF]\": " + PanelWords(work.panel) + " dropped");
    }
    if (!keydef_seen_) ReportNoKeydef();
}

}  // namespace dravonix
