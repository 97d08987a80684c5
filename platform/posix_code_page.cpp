// The default code page where no active ANSI code page exists: 1252, never
// derived from the locale.
#include "platform/default_code_page.h"

namespace dravonix {

CodePage DefaultCodePage(std::string* /*warning*/) { return CodePage(); }

}  // namespace dravonix
