#include "driver/renderer.h"

#include <string>
#include <string_view>

#include "driver/tool.h"
#include "kbd/file_kind.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/file_system.h"
#include "render/keyboard_svg.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

/// True when path ends with extension, compared without regard to ASCII case.
bool HasExtension(std::string_view path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    const std::string_view end = path.substr(path.size() - extension.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        char c = end[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
        if (c != extension[i]) return false;
    }
    return true;
}

/// Whether the input is an XML keyboard file: by its extension (".xml" or
/// ".kbd"), else by its content, which for XML starts with "<" after an
/// optional byte order mark and blanks. An input that cannot be read counts
/// as legacy; its reader then tells why.
bool IsXmlInput(const std::string& path) {
    if (HasExtension(path, ".xml")) return true;
    if (HasExtension(path, ".kbd")) return false;
    std::string start;
    return SystemFileSystem().ReadStartOfFile(path, kKindSniffLength, &start) &&
           LooksLikeXml(start);
}

/// Reads the keyboard at input (legacy or XML) and saves its picture under
/// output; images are looked up beside the input. False with the reason in
/// report.error when either step fails.
bool Render(const char* input, const char* output, PassReport& report) {
    KeyDefDocument document;
    if (IsXmlInput(input)) {
        if (LoadKeyboardFile(input, document, &report.error) != KeyboardLoad::kLoaded) {
            return false;
        }
    } else {
        std::string error;
        if (!ReadKbdFile(input, document.keydef, nullptr, &error)) {
            report.error = FileFailureMessage("open", input, error);
            return false;
        }
    }
    return SaveKeyboardSvg(document.keydef, FolderOf(input), output, &report.error);
}

}  // namespace

int RunRenderer(int argc, const char* const* argv) {
    return RunTool(
        argc, argv,
        {"dravonix-render",
         {"This tool draws a keyboard file (.kbd or XML) as an SVG picture.", "",
          "Syntax: dravonix-render Inputfile Outputfile.svg"},
         {"", "Options:", "  -h, --help, /?   print this text and exit",
          "  --version        print the version and exit", "",
          "The input is read as XML when its name ends in .xml or its text starts with '<',",
          "else as a legacy .kbd file. Panel images are looked up beside the input.", "",
          "Exit codes: 0 drawn; -1 (255) wrong arguments; -2 (254) reading or saving failed.",
          "Why it failed is told on standard error."},
         Render});
}

}  // namespace dravonix
