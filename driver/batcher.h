// The batch command: dravonix-batch [-j N] [--force] [--xml-only] SOURCE_DIR DEST_DIR.
#pragma once

namespace dravonix {

/// Runs the batch command with the process arguments; returns the exit code:
/// 0 every keyboard converted cleanly (or was up to date), 1 some with
/// warnings, 2 any failed or the arguments were wrong.
int RunBatcher(int argc, const char* const* argv);

}  // namespace dravonix
