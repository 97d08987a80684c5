#include "check/media_check.h"

#include <string_view>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/file_lookup.h"

namespace dravonix {

namespace {

/// The file in words: "image \"images\\pad.jpg\"", "sound 3 \"click.wav\"".
std::string FileWords(const MediaReference& reference, std::string_view name) {
    std::string words(MediaRoleName(reference.role));
    if (reference.role == MediaRole::kSound)
        words.append(" ").append(std::to_string(reference.sound));
    words.append(" \"").append(name).append("\"");
    return words;
}

/// A found file's path below the keyboard's folder, with the separator the
/// name uses.
std::string AsNamed(std::string relative, std::string_view name) {
    if (name.find('\\') != std::string_view::npos) {
        for (char& c : relative) {
            if (c == '/') c = '\\';
        }
    }
    return relative;
}

}  // namespace

void MediaLines::Set(std::size_t panel, MediaRole role, std::int32_t sound, std::size_t line) {
    lines_[{panel, role, sound}] = line;
}

std::size_t MediaLines::LineOf(const MediaReference& reference, std::size_t fallback) const {
    const auto at = lines_.find({reference.panel, reference.role, reference.sound});
    return at == lines_.end() ? fallback : at->second;
}

void CheckMedia(const MediaFolder& media, const KeyDefinition& keyboard, const MediaLines& lines,
                CheckReport& report) {
    FileLookup lookup(media.files, media.folder);
    std::map<std::string, FoundFile> found_by_name;  // panels often share their files
    for (const MediaReference& reference : KeyboardMedia(keyboard)) {
        std::string name;
        AppendNarrowAsUtf8(*reference.name, name);
        auto at = found_by_name.find(name);
        if (at == found_by_name.end()) {
            at = found_by_name.emplace(name, lookup.Find("", name)).first;
        }
        const FoundFile& found = at->second;
        const std::size_t line = lines.LineOf(reference, 1);
        const std::string file = FileWords(reference, name);
        const bool image = IsImageRole(reference.role);
        const std::string not_shown = image ? ": the picture does not show it" : "";
        if (found.outcome == LookupOutcome::kNotFound) {
            report.Add(line, "media-missing", file + " is missing");
        } else if (found.outcome == LookupOutcome::kOutsideFolder) {
            report.Add(line, "media-refused",
                       file + " leads outside the keyboard's folder" +
                           (image ? not_shown + ", and" : ":") +
                           " dravonix-batch copies it only from inside the folder it converts");
        } else if (found.info.kind != FileKind::kFile) {
            report.Add(line, "media-refused",
                       file + " is not a regular file" + (image ? not_shown + " and" : ":") +
                           " dravonix-batch does not copy it");
        } else if (image && found.info.size > kMaxImageBytes) {
            report.Add(line, "media-refused", file + " is larger than 32 MiB" + not_shown);
        } else if (found.case_differs) {
            report.Add(line, "media-case",
                       file + " is there only as \"" + AsNamed(found.relative, name) +
                           "\": systems that tell letter case apart do not find it");
        }
    }
}

}  // namespace dravonix
