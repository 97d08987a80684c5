#include <unistd.h>

#include "platform/terminal.h"

namespace dravonix {

bool IsTerminal(int stream) { return ::isatty(stream) == 1; }

}  // namespace dravonix
