#include "check/kbd_check.h"

#include <utility>

#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/codepage.h"

namespace dravonix {

void KbdFindingCollector::Report(std::size_t line, KbdIssue kind, std::string_view details) {
    // What the reader quotes from the file is Windows-1252, as the model's
    // text; reports are UTF-8.
    std::string message;
    AppendNarrowAsUtf8(details, message);
    report_.Add(line, KbdIssueName(kind), std::move(message));
}

void CheckKbdFile(const std::string& path, CheckReport& report) {
    report = CheckReport();
    KeyDefinition definition;
    KbdFindingCollector collector(report);
    std::string error;
    if (!ReadKbdFile(path, definition, &collector, &error)) {
        report.readable = false;
        // The reader's reason starts with the path, which the report names
        // already.
        const std::string prefix = path + ": ";
        if (error.compare(0, prefix.size(), prefix) == 0) error.erase(0, prefix.size());
        report.error = "cannot open: " + error;
        report.findings.clear();  // a file that cannot be opened has no findings
        return;
    }
    report.readable = true;
    report.counts = CountKeyboard(definition);
    report.SortByLine();
}

}  // namespace dravonix
