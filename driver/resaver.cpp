#include "driver/resaver.h"

#include <string>
#include <string_view>

#include "check/check_report.h"
#include "check/finding_class.h"
#include "check/input_kind.h"
#include "check/xml_check.h"
#include "driver/code_page_option.h"
#include "driver/printing.h"
#include "driver/tool.h"
#include "model/key_definition.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

constexpr std::string_view kUsage[] = {
    "This tool reads an XML keyboard file and writes it again.",
    "",
    "Syntax: dravonix-resave Inputfile.xml Outputfile.xml",
};

constexpr std::string_view kHelp[] = {
    "Exit codes: 0 saved; -1 (255) wrong arguments; -2 (254) reading or saving failed.",
    "Why it failed is told on standard error. So is what a resave dropped (content",
    "that is not in the output) and what it kept with notes (content that is there",
    "but changed), with the exit code 0:",
    "  dravonix-resave: warning: pad.xml: 1 attribute and 1 comment dropped, 1 value",
    "  kept with notes; 'dravonix-check \"pad.xml\"' lists them",
};

// Reads the XML keyboard file and saves it again; false when either fails.
// Nothing is written unless the input was read as a keyboard. The one read
// of the input also tells what the reader did not keep as written.
bool Resave(const std::string& input, const std::string& output, CodePage page,
            PassReport& report) {
    KeyDefDocument document;
    document.code_page = page;
    CheckReport check;
    check.reader = InputKind::kXml;
    XmlFindingCollector findings(check);
    if (LoadKeyboardFile(input, document, &report.error, &findings) != KeyboardLoad::kLoaded) {
        return false;
    }
    if (!SaveToFile(document, output, &report.error)) return false;
    WarnAfterSave(report, [&]() -> std::string {
        // What the reader drops and changes: the schema's verdict is the
        // check's to give.
        const std::string summary = DescribeTally(TallyReport(check));
        if (summary.empty()) return {};
        return input + ": " + summary + "; " + CheckCommand(input) + " lists them";
    });
    return true;
}

}  // namespace

int RunResaver(int argc, const char* const* argv) {
    CodePageChoice choice;
    const CommandOption options[] = {CodePageOption(choice)};
    return RunPassCommand(argc, argv,
                          {.program = "dravonix-resave",
                           .usage = kUsage,
                           .help = kHelp,
                           .options = options,
                           .pass = [&choice](const std::string& input, const std::string& output,
                                             PassReport& report) {
                               return Resave(input, output,
                                             ResolveCodePage(choice, "dravonix-resave"), report);
                           }});
}

}  // namespace dravonix
