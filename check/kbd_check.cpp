#include "check/kbd_check.h"

#include <memory>
#include <utility>

#include "check/code_page_note.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"

namespace dravonix {

namespace {

/// Makes report that of a file that could not be read: action ("open",
/// "read") and the file system's reason, whose leading "PATH: " the report
/// leaves out as it names the file already.
void SetUnreadable(const std::string& path, std::string_view action, std::string reason,
                   CheckReport& report) {
    const std::string prefix = path + ": ";
    if (reason.starts_with(prefix)) reason.erase(0, prefix.size());
    report = CheckReport();
    report.error.append("cannot ").append(action).append(": ").append(reason);
}

}  // namespace

void KbdFindingCollector::Report(std::size_t line, KbdIssue kind, std::string_view details) {
    ReportDropped(line, 0, kind, details);
}

void KbdFindingCollector::ReportDropped(std::size_t first, std::size_t last, KbdIssue kind,
                                        std::string_view details) {
    // What the reader quotes from the file is in the code page, as the
    // model's text; reports are UTF-8.
    std::string message;
    (void)page_.AppendUtf8(details, message);
    report_.Add(first, KbdIssueName(kind), std::move(message), last);
}

void KbdFindingCollector::PanelImageCut(std::size_t panel, std::string_view written) {
    report_.cut_images[panel] = written;
}

void KbdFindingCollector::MediaNamed(std::size_t line, std::size_t panel, MediaRole role,
                                     std::int32_t sound) {
    media_lines_.Set(panel, role, sound, line);
}

void CheckKbdFile(const std::string& path, CheckReport& report, FileSystem& files, CodePage page) {
    std::string error;
    std::unique_ptr<ReadableFile> file = files.OpenForReading(path, &error);
    if (file == nullptr) {
        SetUnreadable(path, "open", std::move(error), report);
        return;
    }
    CheckKbdFrom(*file, path, report, files, page);
    // The start of a file tells its code page as well as the whole would.
    constexpr std::size_t kGuessLength = 256 * 1024;
    std::string start;
    if (report.readable && files.ReadStartOfFile(path, kGuessLength, &start)) {
        report.code_page_note = CodePageNote(start, page);
    }
}

void CheckKbdFrom(ReadableFile& file, const std::string& path, CheckReport& report,
                  FileSystem& files, CodePage page) {
    report = CheckReport();
    KeyDefinition definition;
    KbdFindingCollector collector(report, page);
    std::string error;
    if (!ReadKbdFrom(file, definition, &collector, &error, page)) {
        // Findings about part of a file say nothing of the whole.
        SetUnreadable(path, "read", std::move(error), report);
        return;
    }
    report.readable = true;
    report.counts = CountKeyboard(definition);
    CheckMedia({files, FolderOf(path), page}, definition, collector.media_lines(), report);
    report.SortByLine();
}

}  // namespace dravonix
