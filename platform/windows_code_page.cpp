// The default code page on Windows: the active ANSI code page, as text in
// the legacy keyboard files was written in it.
#include <windows.h>

#include <string>

#include "platform/default_code_page.h"

namespace dravonix {

CodePage DefaultCodePage(std::string* warning) {
    const unsigned active = GetACP();
    if (const std::optional<CodePage> page = CodePage::Find(std::to_string(active))) return *page;
    if (warning != nullptr) {
        *warning = "the active code page " + std::to_string(active) +
                   " is not supported; reading as 1252 (choose one with --code-page)";
    }
    return CodePage();
}

}  // namespace dravonix
