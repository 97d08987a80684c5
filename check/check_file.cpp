#include "check/check_file.h"

#include "check/kbd_check.h"
#include "check/xml_check.h"
#include "platform/memory_file.h"

namespace dravonix {

InputKind CheckFile(const std::string& path, CheckReport& report, FileSystem& files) {
    if (HasKbdExtension(path)) {
        CheckKbdFile(path, report, files);
        return InputKind::kKbd;
    }
    std::string bytes;
    std::string error;
    if (!ReadInputFile(path, &bytes, &error, files)) {
        report = CheckReport();
        report.error = "cannot open: " + error;
        return InputKind::kKbd;
    }
    if (ChooseReader(path, bytes) == InputKind::kXml) {
        const MediaFolder media{files, FolderOf(path)};
        CheckXmlMemory(bytes, report, /*validate=*/true, &media);
        return InputKind::kXml;
    }
    MemoryFile file(bytes);
    CheckKbdFrom(file, path, report, files);
    return InputKind::kKbd;
}

}  // namespace dravonix
