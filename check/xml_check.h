// The check of an XML keyboard file: what the resave's reader ignores or
// changes in it, what the keyboard schema says of it, and the media files it
// names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "check/check_report.h"
#include "check/media_check.h"
#include "xml/xml_observer.h"

namespace dravonix {

/// An observer of the XML reader that keeps each report as a finding of
/// report, and the lines that name media files.
class XmlFindingCollector final : public XmlObserver {
public:
    explicit XmlFindingCollector(CheckReport& report) : report_(report) {}

    void Report(std::size_t line, XmlIssue kind, std::string_view details) override;
    void MediaNamed(std::size_t line, std::size_t panel, MediaRole role,
                    std::int32_t sound) override;

    const MediaLines& media_lines() const { return media_lines_; }

private:
    CheckReport& report_;
    MediaLines media_lines_;
};

/// Checks an XML keyboard file held in memory and fills report. It is
/// unreadable, with the reason and its line, when the reader cannot read it
/// (not well-formed, an entity reference, out of memory). Otherwise report
/// holds the counts of the keyboard read, the findings of the reader (each
/// kind of XmlIssue, named as XmlIssueName names it), when the root element
/// is "keydef" one "schema" finding per error of the keyboard schema's
/// validator, and with media (the folder of the file that held bytes) the
/// findings of CheckMedia: media-missing, media-case, media-refused. Needs
/// the COM runtime, as the reader does. The keyboard's text is read into
/// code page page.
void CheckXmlMemory(std::string_view bytes, CheckReport& report, const MediaFolder* media = nullptr,
                    CodePage page = CodePage());

}  // namespace dravonix
