// The entry point each program defines, called by the platform's own entry
// point (main, or wmain on Windows) with the command line's arguments as
// paths in the platform's own path encoding (UTF-8 on Windows, whose command
// lines are UTF-16), so that every file name reaches the program intact.
#pragma once

namespace dravonix {

/// Runs the program; returns its exit code. argv[argc] is null.
int ProgramMain(int argc, char** argv);

}  // namespace dravonix
