#include "check/media_check.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

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

/// The other lines that name a file, for its finding: "" for none, else
/// " (named again on line 55)" or " (named again on lines 55, 60, …)", at
/// most ten of them.
std::string AlsoNamed(const std::vector<std::size_t>& lines) {
    if (lines.size() < 2) return "";
    std::string text = lines.size() == 2 ? " (named again on line " : " (named again on lines ";
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (i > 10) {
            text.append(", \xE2\x80\xA6");  // U+2026
            break;
        }
        if (i > 1) text.append(", ");
        text.append(std::to_string(lines[i]));
    }
    return text.append(")");
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
    // One finding for each file, however many panels name it: at the first
    // line that names it, with the others in its message.
    struct Named {
        MediaReference first;
        std::string name;  // UTF-8
        std::vector<std::size_t> lines;
    };
    std::vector<Named> named;
    std::map<std::pair<std::string, bool>, std::size_t> index;  // (name, image) -> named
    for (const MediaReference& reference : KeyboardMedia(keyboard)) {
        std::string name;
        (void)media.code_page.AppendUtf8(*reference.name, name);
        const auto [at, added] =
            index.try_emplace({name, IsImageRole(reference.role)}, named.size());
        if (added) named.push_back({reference, std::move(name), {}});
        named[at->second].lines.push_back(lines.LineOf(reference, 1));
    }
    FileLookup lookup(media.files, media.folder);
    for (Named& file_named : named) {
        std::vector<std::size_t>& at = file_named.lines;
        std::sort(at.begin(), at.end());
        at.erase(std::unique(at.begin(), at.end()), at.end());
        const FoundFile found = lookup.Find("", file_named.name);
        const std::string file = FileWords(file_named.first, file_named.name);
        const std::string also = AlsoNamed(at);
        const bool image = IsImageRole(file_named.first.role);
        const std::string not_shown = image ? ": the picture does not show it" : "";
        const std::size_t line = at.front();
        if (found.outcome == LookupOutcome::kNotFound) {
            report.Add(line, "media-missing", file + " is missing" + also);
        } else if (found.outcome == LookupOutcome::kOutsideFolder) {
            report.Add(line, "media-refused",
                       file + " leads outside the keyboard's folder" +
                           (image ? not_shown + ", and" : ":") +
                           " dravonix-batch copies it only from inside the folder it converts" +
                           also);
        } else if (found.info.kind != FileKind::kFile) {
            report.Add(line, "media-refused",
                       file + " is not a regular file" + (image ? not_shown + " and" : ":") +
                           " dravonix-batch does not copy it" + also);
        } else if (image && found.info.size > kMaxImageBytes) {
            report.Add(line, "media-refused", file + " is larger than 32 MiB" + not_shown + also);
        } else if (found.case_differs) {
            report.Add(line, "media-case",
                       file + " is there only as \"" + AsNamed(found.relative, file_named.name) +
                           "\": systems that tell letter case apart do not find it" + also);
        }
    }
}

}  // namespace dravonix
