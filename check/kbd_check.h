// The check of a legacy .kbd keyboard file: what the converter's reader drops
// or changes in it.
#pragma once

#include <string>

#include "check/check_report.h"
#include "check/media_check.h"
#include "kbd/kbd_observer.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

namespace dravonix {

/// An observer of the legacy reader that keeps each report as a finding,
/// and the lines that name media files for CheckMedia.
class KbdFindingCollector : public KbdObserver {
public:
    /// Quotes from the file are read in code page page.
    explicit KbdFindingCollector(CheckReport& report, CodePage page = CodePage())
        : report_(report), page_(page) {}

    void Report(std::size_t line, KbdIssue kind, std::string_view details) override;
    void ReportDropped(std::size_t first, std::size_t last, KbdIssue kind,
                       std::string_view details) override;
    void PanelImageCut(std::size_t panel, std::string_view written) override;
    void MediaNamed(std::size_t line, std::size_t panel, MediaRole role,
                    std::int32_t sound) override;

    const MediaLines& media_lines() const { return media_lines_; }

private:
    CheckReport& report_;
    CodePage page_;
    MediaLines media_lines_;
};

/// Reads the legacy keyboard file at path through files as the converter
/// does and fills report: unreadable with the reason ("cannot open: REASON",
/// "cannot read: REASON") when the file cannot be opened or read to its end,
/// otherwise the reader's findings, those of its media files (CheckMedia,
/// looked up from the file's folder through files) and the counts of the
/// keyboard read. The text is read in code page page, and when the start of
/// the file reads much better in another one, report.code_page_note says so.
void CheckKbdFile(const std::string& path, CheckReport& report,
                  FileSystem& files = SystemFileSystem(), CodePage page = CodePage());

/// CheckKbdFile for the file at path, open in file at its start.
void CheckKbdFrom(ReadableFile& file, const std::string& path, CheckReport& report,
                  FileSystem& files = SystemFileSystem(), CodePage page = CodePage());

}  // namespace dravonix
