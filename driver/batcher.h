// The batch command: dravonix-batch [-j N] [--force] [--xml-only] [--no-media]
// [--single-page] SOURCE_DIR DEST_DIR; or, started by Explorer with files
// dropped onto it, dravonix-batch INPUT...
#pragma once

namespace dravonix {

/// Runs the batch command with the process arguments; returns the exit code:
/// 0 every keyboard converted cleanly (or was up to date), 1 some with
/// warnings, 2 any failed, the source folder holds no keyboard or cannot be
/// read, or the arguments were wrong; kInterruptedExitCode when an interrupt
/// stopped it (after the page for what was done). When the program owns its
/// console window (OwnsConsoleWindow), every argument is an input converted
/// beside itself, and the window waits for a key before it closes.
int RunBatcher(int argc, const char* const* argv);

}  // namespace dravonix
