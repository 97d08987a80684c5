// Fuzz target: the check on arbitrary bytes, read both as a legacy .kbd file
// and as an XML keyboard file. Neither may fault, a legacy file is always
// readable, and every line a report names lies within the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "check/check_report.h"
#include "check/json_report.h"
#include "check/kbd_check.h"
#include "check/report_text.h"
#include "check/xml_check.h"
#include "platform/com.h"
#include "platform/memory_file.h"
#include "testing/memory_file_system.h"

using namespace dravonix;

namespace {

// The lines of the input: a line end is LF, CR LF or a lone CR.
std::size_t CountLines(std::string_view bytes) {
    std::size_t lines = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

[[noreturn]] void Fail(const char* what, std::size_t line, std::size_t lines) {
    std::fprintf(stderr, "%s: line %zu of an input of %zu lines\n", what, line, lines);
    std::abort();
}

void ExpectLinesWithin(const char* reader, const CheckReport& report, std::size_t lines) {
    for (const Finding& finding : report.findings) {
        if (finding.line < 1 || finding.line > lines) Fail(reader, finding.line, lines);
    }
    if (report.error_line > lines) Fail(reader, report.error_line, lines);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)CoInitialize(nullptr);  // cannot fail; the runtime stays started for every input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = CountLines(bytes);

    // The bytes are read from memory, and the media files they name are
    // looked up in an empty folder of a file system in memory.
    static MemoryFileSystem files;
    MemoryFile file(bytes);
    CheckReport kbd;
    CheckKbdFrom(file, "/in.kbd", kbd, files);
    if (!kbd.readable) Fail("a readable .kbd file was reported unreadable", 0, lines);
    ExpectLinesWithin(".kbd check", kbd, lines);

    CheckReport xml;
    CheckXmlMemory(bytes, xml);
    ExpectLinesWithin("XML check", xml, lines);

    // The reports of both, for people and for programs, group and escape
    // whatever the findings quote.
    const FileCheck checks[] = {{"in.kbd", kbd}, {"in.xml", xml}};
    for (const FileCheck& check : checks) (void)FormatCheckReport(check.file, check.report);
    (void)FormatJsonReport(checks);
    return 0;
}
