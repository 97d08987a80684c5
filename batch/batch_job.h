// One keyboard of a batch: converted to XML exactly as the converter does,
// with its check report and its preview beside it, and the media files it
// names copied where the XML file finds them.
#pragma once

#include <cstddef>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "check/check_report.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace dravonix {

/// What a batch does with each keyboard.
struct BatchOptions {
    bool force = false;     // convert even when the outputs are newer than the keyboard
    bool xml_only = false;  // write the XML files alone, no reports and previews
    bool no_media = false;  // leave the media files alone: look them up, copy none
    CodePage code_page;     // of the keyboards' text
    /// Each keyboard in the code page its text reads best in (1252 when the
    /// guess is unsure) rather than code_page.
    bool guess_code_page = false;
};

/// What the outputs of a keyboard hold.
enum class JobOutcome {
    kClean,     // its conversion, nothing dropped or changed
    kWarnings,  // its conversion, but the reader dropped or changed something
    kFailed,    // not converted: the keyboard could not be read or an output not saved
};

/// A media file a keyboard names, as its batch found it.
struct JobMedia {
    enum class State {
        kFound,    // in the source tree: copied (unless --no-media)
        kMissing,  // no such file
        kRefused,  // leads out of the source tree, is not a regular file, or its copy would
                   // take the place of an output of the batch: not copied
    };
    std::string name;  // as the keyboard names it (UTF-8)
    State state = State::kMissing;
    std::string reason;  // why a file was refused
};

/// The outcome of one keyboard, and what the model read held.
struct JobResult {
    std::string relative;  // the keyboard's path below the source folder, "/" between parts
    bool done = false;     // false: not taken up, as when the batch was interrupted
    JobOutcome outcome = JobOutcome::kFailed;
    bool up_to_date = false;  // the outputs were newer than the keyboard: read, not written again
    std::string name;         // the keyboard's own name (UTF-8)
    std::size_t panels = 0;
    std::size_t keys = 0;
    std::size_t macros = 0;
    std::size_t warnings = 0;
    CheckReport check;              // the keyboard's check, when it could be read
    CodePage code_page;             // the code page it was read in
    std::vector<JobMedia> media;    // each file name once, in the keyboard's order
    std::size_t media_copied = 0;   // media files this job copied
    std::size_t media_current = 0;  // media files this job found copied already
    std::string error;              // why it failed
};

/// The outputs of a keyboard below the destination folder: "de/pad.kbd" gives
/// "de/pad.xml", "de/pad.check.txt" and "de/pad.svg".
struct JobOutputs {
    std::string xml;
    std::string report;
    std::string preview;
};
JobOutputs OutputsOf(const std::string& relative);

/// The media files a batch copies, shared by its jobs on their threads: a
/// file is copied by the first job that names it, and never where an output
/// of the batch goes. Paths are below the destination, "/" between parts,
/// and compared without regard to letter case (as on Windows).
class MediaCopies {
public:
    /// outputs: the paths of the batch's own outputs.
    explicit MediaCopies(const std::vector<std::string>& outputs);

    enum class Claim {
        kMine,    // the first claim: the caller copies it
        kTaken,   // another job has it
        kOutput,  // an output of the batch goes there
    };
    Claim Take(const std::string& relative);

private:
    std::mutex lock_;
    std::set<std::string> outputs_;
    std::set<std::string> taken_;
};

/// Converts source_root/relative into dest_root (making the folders it
/// needs) through files: the XML file with the same bytes and the same safe
/// save as the converter, then, unless options.xml_only, the check report
/// (as dravonix-check prints it, the keyboard named by its path below
/// source_root with the platform's separators and line ends) and the SVG
/// preview. When the outputs all exist and are newer than the keyboard (and
/// not options.force), writes nothing: the keyboard is only read, so that
/// the result tells what its outputs hold, up_to_date. Then each media file
/// the keyboard names is looked up below source_root as Windows reads the
/// name; with copies (and not options.no_media) each one found is copied to
/// the same path below dest_root, where the XML file finds it, unless a
/// copy there is newer. A keyboard that cannot be read (a link that leads
/// nowhere among them), or whose output or media file cannot be written,
/// fails. Never throws but std::bad_alloc.
JobResult RunJob(FileSystem& files, const std::string& source_root, const std::string& dest_root,
                 const std::string& relative, const BatchOptions& options,
                 MediaCopies* copies = nullptr);

}  // namespace dravonix
