// The check command: dravonix-check [-q] FILE...
#pragma once

namespace dravonix {

/// Runs the check with the process arguments: reports what the readers
/// drop or change in each file on standard output, with a summary line per
/// file and one for the run; files that cannot be read are named on
/// standard error. Returns 0 when every file is clean, 1 when any has
/// warnings, 2 when any cannot be read or the arguments are wrong.
int RunChecker(int argc, const char* const* argv);

}  // namespace dravonix
