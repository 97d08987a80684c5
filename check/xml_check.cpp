#include "check/xml_check.h"

#include <string>

#include "check/code_page_note.h"
#include "check/schema_check.h"
#include "check/xml_lines.h"
#include "model/key_definition.h"
#include "xml/keyboard_file.h"

namespace dravonix {

void XmlFindingCollector::Report(std::size_t line, XmlIssue kind, std::string_view details) {
    report_.Add(line, XmlIssueName(kind), std::string(details));
}

void XmlFindingCollector::MediaNamed(std::size_t line, std::size_t panel, MediaRole role,
                                     std::int32_t sound) {
    media_lines_.Set(panel, role, sound, line);
}

void CheckXmlMemory(std::string_view bytes, CheckReport& report, const MediaFolder* media,
                    CodePage page) {
    report = CheckReport();
    report.reader = InputKind::kXml;
    // The validator needs libxml2's own tree of the file, with its lines;
    // that parse also tells why a file is not well-formed.
    const ParsedXml parsed = ParseWithLines(bytes);
    if (parsed.out_of_memory) {
        report.error = "out of memory";
        return;
    }
    if (parsed.doc == nullptr) {
        report.error = "not well-formed: " + parsed.error;
        report.error_line = parsed.error_line;
        return;
    }
    KeyDefDocument document;
    document.code_page = page;
    XmlFindingCollector collector(report);
    ParseFailure failure;
    const KeyboardLoad outcome = LoadKeyboardMemory(bytes, document, &collector, &failure);
    if (outcome == KeyboardLoad::kUnreadable) {
        report = CheckReport();
        report.reader = InputKind::kXml;
        report.error = failure.out_of_memory
                           ? "out of memory"
                           : "not readable: it refers to an entity, which the reader never expands "
                             "(only the predefined entities and character references are read)";
        return;
    }
    report.readable = true;
    report.counts = CountKeyboard(document.keydef);
    if (outcome == KeyboardLoad::kLoaded) (void)ValidateKeyboardSchema(parsed.doc.get(), report);
    if (media != nullptr) CheckMedia(*media, document.keydef, collector.media_lines(), report);
    const std::string_view replaced = XmlIssueName(XmlIssue::kCharacterReplaced);
    for (const Finding& finding : report.findings) {
        if (finding.kind == replaced) {
            report.code_page_note = XmlCodePageNote(parsed.doc.get(), page);
            break;
        }
    }
    report.SortByLine();
}

}  // namespace dravonix
