#include <io.h>

#include "platform/terminal.h"

namespace dravonix {

bool IsTerminal(int stream) { return ::_isatty(stream) != 0; }

}  // namespace dravonix
