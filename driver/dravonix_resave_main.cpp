// Entry point of the resave command.
#include "driver/resaver.h"
#include "platform/program_main.h"

int dravonix::ProgramMain(int argc, char** argv) { return RunResaver(argc, argv); }
