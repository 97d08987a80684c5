#include "check/check_file.h"

#include "check/code_page_note.h"
#include "check/kbd_check.h"
#include "check/xml_check.h"
#include "platform/memory_file.h"

namespace dravonix {

void CheckFile(const std::string& path, CheckReport& report, FileSystem& files, CodePage page) {
    if (HasKbdExtension(path)) {
        CheckKbdFile(path, report, files, page);
        return;
    }
    std::string bytes;
    std::string error;
    if (!ReadInputFile(path, &bytes, &error, files)) {
        report = CheckReport();
        report.reader = ChooseReader(path, {});
        report.error = "cannot open: " + error;
        return;
    }
    if (ChooseReader(path, bytes) == InputKind::kXml) {
        const MediaFolder media{files, FolderOf(path), page};
        CheckXmlMemory(bytes, report, &media, page);
        return;
    }
    MemoryFile file(bytes);
    CheckKbdFrom(file, path, report, files, page);
    if (report.readable) report.code_page_note = CodePageNote(bytes, page);
}

}  // namespace dravonix
