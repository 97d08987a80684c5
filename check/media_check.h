// The check of the media files a keyboard names (model/keyboard_media.h):
// each is looked up from the keyboard file's folder the way Windows reads
// the name (platform/file_lookup.h), and what a converted keyboard would
// miss is a finding at the line that names the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "check/check_report.h"
#include "model/key_definition.h"
#include "model/keyboard_media.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace dravonix {

/// The lines at which a keyboard file names its media files, as its reader
/// tells them.
class MediaLines {
public:
    /// The file of role (and sound id) of the panel is named at line.
    void Set(std::size_t panel, MediaRole role, std::int32_t sound, std::size_t line);
    /// The line that names the file of reference; fallback when none was set.
    std::size_t LineOf(const MediaReference& reference, std::size_t fallback) const;

private:
    std::map<std::tuple<std::size_t, MediaRole, std::int32_t>, std::size_t> lines_;
};

/// Where a check finds the media files of a keyboard file.
struct MediaFolder {
    FileSystem& files;
    std::string folder;               // the keyboard file's folder ("" for the current one)
    CodePage code_page = CodePage();  // of the names the keyboard holds
};

/// Looks up every media file keyboard names from media.folder and adds a
/// finding to report for each that (one for each file, at the first line
/// lines gives for it, naming the other lines)
///   media-missing  is not there;
///   media-case     is there only under another letter case, which systems
///                  that tell case apart do not find;
///   media-refused  leads outside the keyboard's folder (the picture does
///                  not show such an image; a batch copies such a file only
///                  from inside the folder tree it converts), is not a
///                  regular file (neither shown nor copied), or is an image
///                  larger than kMaxImageBytes (not shown).
void CheckMedia(const MediaFolder& media, const KeyDefinition& keyboard, const MediaLines& lines,
                CheckReport& report);

}  // namespace dravonix
