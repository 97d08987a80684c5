#include "driver/resaver.h"

#include <cstddef>
#include <new>
#include <string>
#include <string_view>

#include "driver/tool.h"
#include "model/key_definition.h"
#include "xml/keyboard_file.h"
#include "xml/xml_observer.h"

namespace dravonix {

namespace {

// Reads the XML keyboard file and saves it again; false when either fails.
// Nothing is written unless the input was read as a keyboard. The one read
// of the input also tells what the reader did not keep as written.
bool Resave(const char* input, const char* output, PassReport& report) {
    // Counts the lines the reader reports, which come in the order of the
    // file: the lines it did not keep as written.
    class LineCounter final : public XmlObserver {
    public:
        void Report(std::size_t line, XmlIssue, std::string_view) override {
            if (count_ == 0 || line != last_) ++count_;
            last_ = line;
        }
        std::size_t count() const { return count_; }

    private:
        std::size_t count_ = 0;
        std::size_t last_ = 0;
    };
    KeyDefDocument document;
    LineCounter lines;
    if (LoadKeyboardFile(input, document, &report.error, &lines) != KeyboardLoad::kLoaded) {
        return false;
    }
    if (!SaveToFile(document, output, &report.error)) return false;
    // The output is saved: running out of memory from here on only costs the
    // warning, never the success.
    try {
        if (lines.count() != 0) {
            report.warning = std::string(input) + ": " + std::to_string(lines.count()) +
                             (lines.count() == 1 ? " line" : " lines") +
                             " not kept as written; 'dravonix-check " + input + "' lists them";
        }
    } catch (const std::bad_alloc&) {
        report.warning.clear();
    }
    return true;
}

}  // namespace

int RunResaver(int argc, const char* const* argv) {
    return RunTool(
        argc, argv,
        {"dravonix-resave",
         {"This tool reads an XML keyboard file and writes it again.", "",
          "Syntax: dravonix-resave Inputfile.xml Outputfile.xml"},
         {"", "Options:", "  -h, --help, /?   print this text and exit",
          "  --version        print the version and exit", "",
          "Exit codes: 0 saved; -1 (255) wrong arguments; -2 (254) reading or saving failed.",
          "Why it failed is told on standard error."},
         Resave});
}

}  // namespace dravonix
