#include "driver/code_page_option.h"

#include "check/code_page_guess.h"
#include "driver/printing.h"
#include "platform/default_code_page.h"
#include "platform/file_system.h"

namespace dravonix {

CommandOption CodePageOption(CodePageChoice& choice, bool allow_auto) {
    // The value's name tells a missing value which pages there are.
    static const std::string kValue = "a code page: " + std::string(CodePage::SupportedList());
    static const std::string kValueOrAuto = kValue + " or auto";
    return {'c', "code-page", allow_auto ? kValueOrAuto : kValue,
            [&choice, allow_auto](std::string_view value, std::string* error) {
                const std::string supported =
                    std::string(CodePage::SupportedList()) + (allow_auto ? " or auto" : "");
                if (choice.given) {
                    *error = "--code-page is given twice; give one of " + supported;
                    return false;
                }
                choice.given = true;
                if (allow_auto && value == "auto") {
                    choice.automatic = true;
                    return true;
                }
                choice.page = CodePage::Find(value);
                if (choice.page) return true;
                *error = "unknown code page '" + std::string(value) + "'; supported: " + supported;
                return false;
            }};
}

CodePage ResolveCodePage(const CodePageChoice& choice, std::string_view program) {
    if (choice.page) return *choice.page;
    std::string warning;
    const CodePage page = DefaultCodePage(&warning);
    if (!warning.empty()) PrintWarning(program, warning);
    return page;
}

CodePage GuessFileCodePage(const std::string& path) {
    // The start of a file tells its code page as well as the whole would.
    constexpr std::size_t kGuessLength = 256 * 1024;
    std::string start;
    if (!SystemFileSystem().ReadStartOfFile(path, kGuessLength, &start)) return CodePage();
    const std::optional<CodePageGuess> guess = GuessCodePage(start, CodePage());
    return guess ? guess->code_page : CodePage();
}

}  // namespace dravonix
