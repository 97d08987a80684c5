// Entry point of the check command.
#include "driver/checker.h"
#include "platform/program_main.h"

int dravonix::ProgramMain(int argc, char** argv) { return RunChecker(argc, argv); }
