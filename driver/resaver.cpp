#include "driver/resaver.h"

#include <cstddef>
#include <string>
#include <string_view>

#include "driver/tool.h"
#include "model/key_definition.h"
#include "platform/counted_noun.h"
#include "xml/keyboard_file.h"
#include "xml/xml_observer.h"

namespace dravonix {

namespace {

constexpr std::string_view kUsage[] = {
    "This tool reads an XML keyboard file and writes it again.",
    "",
    "Syntax: dravonix-resave Inputfile.xml Outputfile.xml",
};

constexpr std::string_view kHelp[] = {
    "Exit codes: 0 saved; -1 (255) wrong arguments; -2 (254) reading or saving failed.",
    "Why it failed is told on standard error.",
};

// Reads the XML keyboard file and saves it again; false when either fails.
// Nothing is written unless the input was read as a keyboard. The one read
// of the input also tells what the reader did not keep as written.
bool Resave(const std::string& input, const std::string& output, PassReport& report) {
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
    WarnAfterSave(report, [&]() -> std::string {
        if (lines.count() == 0) return {};
        return input + ": " + CountedNoun(lines.count(), "line") +
               " not kept as written; 'dravonix-check " + input + "' lists them";
    });
    return true;
}

}  // namespace

int RunResaver(int argc, const char* const* argv) {
    return RunPassCommand(
        argc, argv, {.program = "dravonix-resave", .usage = kUsage, .help = kHelp, .pass = Resave});
}

}  // namespace dravonix
