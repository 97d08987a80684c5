// Whether the program's output goes to a terminal.
#pragma once

namespace dravonix {

/// True when the given standard stream (1 output, 2 error) is a terminal, on
/// which a tool may redraw a progress line.
bool IsTerminal(int stream);

}  // namespace dravonix
