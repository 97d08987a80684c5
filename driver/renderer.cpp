#include "driver/renderer.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "driver/tool.h"
#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "platform/file_system.h"
#include "platform/folder_listing.h"
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
/// optional byte order mark and blanks. False with the reason in *error when
/// the file cannot be read.
bool IsXmlInput(const std::string& path, bool* xml, std::string* error) {
    if (HasExtension(path, ".xml") || HasExtension(path, ".kbd")) {
        *xml = HasExtension(path, ".xml");
        return true;
    }
    std::unique_ptr<ReadableFile> file = SystemFileSystem().OpenForReading(path, error);
    if (file == nullptr) return false;
    char buffer[4096];
    std::size_t got = 0;
    if (!file->Read(buffer, sizeof buffer, &got, error)) return false;
    std::string_view start(buffer, got);
    if (start.substr(0, 3) == "\xEF\xBB\xBF") start.remove_prefix(3);
    const std::size_t first = start.find_first_not_of(" \t\r\n");
    *xml = first != std::string_view::npos && start[first] == '<';
    return true;
}

/// Reads the keyboard at input and saves its picture under output; false
/// with the reason in *error when either step fails.
bool Render(const std::string& input, const std::string& output, std::string* error) {
    bool xml = false;
    if (!IsXmlInput(input, &xml, error)) return false;
    KeyDefDocument document;
    if (xml) {
        switch (LoadKeyboardFile(input, document)) {
            case KeyboardLoad::kLoaded:
                break;
            case KeyboardLoad::kNotKeyboard:
                *error = input + ": the root element is not keydef";
                return false;
            case KeyboardLoad::kUnreadable:
                *error = input + ": cannot be read as XML";
                return false;
        }
    } else if (!ReadKbdFile(input, document.keydef, nullptr, error)) {
        return false;
    }
    return SaveKeyboardSvg(document.keydef, FolderOf(input), output, error);
}

/// The pass of the tool frame: Render, with the reason on standard error.
bool RenderPass(const char* input, const char* output) {
    std::string error;
    if (Render(input, output, &error)) return true;
    std::fprintf(stderr, "dravonix-render: %s\n", error.c_str());
    return false;
}

}  // namespace

int RunRenderer(int argc, const char* const* argv) {
    return RunTool(argc, argv,
                   {"This tool draws a keyboard file (.kbd or XML) as an SVG picture.", "",
                    "Syntax: dravonix-render Inputfile Outputfile.svg"},
                   RenderPass);
}

}  // namespace dravonix
