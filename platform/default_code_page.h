// The code page a conversion uses when the command line names none.
#pragma once

#include <string>

#include "platform/code_page.h"

namespace dravonix {

/// On Windows the active ANSI code page when it is a supported one (65001
/// included); otherwise 1252, with *warning (when not null) saying so and
/// naming --code-page. Elsewhere always 1252, whatever the locale, so that
/// a file converts the same on every machine; *warning stays empty there.
CodePage DefaultCodePage(std::string* warning);

}  // namespace dravonix
