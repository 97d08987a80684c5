// One keyboard of a batch: converted to XML exactly as the converter does,
// with its check report and its preview beside it.
#pragma once

#include <cstddef>
#include <string>

#include "platform/file_system.h"

namespace dravonix {

/// What a batch does with each keyboard.
struct BatchOptions {
    bool force = false;     // convert even when the outputs are newer than the keyboard
    bool xml_only = false;  // write the XML files alone, no reports and previews
};

/// What the outputs of a keyboard hold.
enum class JobOutcome {
    kClean,     // its conversion, nothing dropped or changed
    kWarnings,  // its conversion, but the reader dropped or changed something
    kFailed,    // not converted: the keyboard could not be read or an output not saved
};

/// The outcome of one keyboard, and what the model read held.
struct JobResult {
    std::string relative;  // the keyboard's path below the source folder
    JobOutcome outcome = JobOutcome::kFailed;
    bool up_to_date = false;  // the outputs were newer than the keyboard: read, not written again
    std::size_t panels = 0;
    std::size_t keys = 0;
    std::size_t macros = 0;
    std::size_t warnings = 0;
    std::string error;  // why it failed
};

/// The outputs of a keyboard below the destination folder: "de/pad.kbd" gives
/// "de/pad.xml", "de/pad.check.txt" and "de/pad.svg".
struct JobOutputs {
    std::string xml;
    std::string report;
    std::string preview;
};
JobOutputs OutputsOf(const std::string& relative);

/// Converts source_root/relative into dest_root (making the folders it
/// needs) through files: the XML file with the same bytes and the same safe
/// save as the converter, then, unless options.xml_only, the check report and
/// the SVG preview. When the outputs all exist and are newer than the
/// keyboard (and not options.force), writes nothing: the keyboard is only
/// read, so that the result tells what its outputs hold, up_to_date. A
/// keyboard that cannot be read (a link that leads nowhere among them)
/// fails. Never throws but std::bad_alloc.
JobResult RunJob(FileSystem& files, const std::string& source_root, const std::string& dest_root,
                 const std::string& relative, const BatchOptions& options);

}  // namespace dravonix
