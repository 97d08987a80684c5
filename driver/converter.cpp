#include "driver/converter.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <string>
#include <vector>

#include "driver/tool.h"
#include "kbd/file_kind.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/file_system.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

// Counts what the reader dropped or changed: whole panels, and the lines of
// everything else.
class LossCounter final : public KbdObserver {
public:
    void Report(std::size_t line, KbdIssue kind, std::string_view) override {
        if (kind == KbdIssue::kUnclosedKeydef) {
            ++panels_;
        } else {
            lines_.push_back(line);
        }
    }

    // "1 panel and 3 lines", or empty when nothing was lost.
    std::string Summary() {
        std::sort(lines_.begin(), lines_.end());
        const std::size_t lines =
            static_cast<std::size_t>(std::unique(lines_.begin(), lines_.end()) - lines_.begin());
        std::string text;
        if (panels_ != 0) text = Count(panels_, "panel");
        if (panels_ != 0 && lines != 0) text += " and ";
        if (lines != 0) text += Count(lines, "line");
        return text;
    }

private:
    static std::string Count(std::size_t count, std::string_view noun) {
        std::string text = std::to_string(count);
        text.append(" ").append(noun);
        if (count != 1) text.push_back('s');
        return text;
    }

    std::size_t panels_ = 0;
    std::vector<std::size_t> lines_;
};

// Reads the legacy file and saves it as XML; false when either step fails,
// or when the output is a legacy keyboard file, which is never overwritten
// (the arguments were likely swapped).
bool Convert(const char* input, const char* output, PassReport& report) {
    FileSystem& files = SystemFileSystem();
    std::string start;
    if (files.ReadStartOfFile(output, kKindSniffLength, &start) && HasKeydefLine(start)) {
        report.error = std::string("will not write over '") + output +
                       "': it is a legacy keyboard file (are the arguments swapped?)";
        return false;
    }
    // Nor over the input, by whatever name: it would be gone before it was read.
    const FileInfo read = files.GetFileInfo(input);
    const FileInfo written = files.GetFileInfo(output);
    if (read.kind == FileKind::kFile && written.kind == FileKind::kFile &&
        read.identity == written.identity) {
        report.error = std::string("will not write over '") + output + "': it is the input file";
        return false;
    }
    KeyDefDocument document;
    LossCounter losses;
    std::string error;
    if (!ReadKbdFile(input, document.keydef, &losses, &error)) {
        report.error = FileFailureMessage("open", input, error);
        return false;
    }
    if (!SaveToFile(document, output, &report.error)) return false;
    // The output is saved: running out of memory from here on only costs the
    // warning, never the success.
    try {
        if (files.ReadStartOfFile(input, kKindSniffLength, &start) && LooksLikeXml(start)) {
            report.warning = std::string(input) +
                             ": looks like an XML keyboard file, not a legacy one; did you mean "
                             "'dravonix-resave'?";
            return true;
        }
        const std::string lost = losses.Summary();
        if (!lost.empty()) {
            report.warning = std::string(input) + ": " + lost + " not converted; 'dravonix-check " +
                             input + "' lists them";
        }
    } catch (const std::bad_alloc&) {
        report.warning.clear();
    }
    return true;
}

}  // namespace

int RunConverter(int argc, const char* const* argv) {
    return RunTool(
        argc, argv,
        {"dravonix",
         {"This tool converts the Vantorel keyboard files (.kbd) to the",
          "new XML-Style keyboard files.", "", "Syntax: dravonix.exe Inputfile.kbd Outputfile.xml"},
         {"", "Options:", "  -h, --help, /?   print this text and exit",
          "  --version        print the version and exit", "",
          "Exit codes: 0 converted; -1 (255) wrong arguments; -2 (254) the conversion failed.",
          "Why a conversion failed, and what a conversion dropped, is told on standard error;",
          "'dravonix-check Inputfile.kbd' lists every line the conversion dropped or changed."},
         Convert});
}

}  // namespace dravonix
