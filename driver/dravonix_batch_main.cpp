// Entry point of the batch command.
#include "driver/batcher.h"
#include "platform/program_main.h"

int dravonix::ProgramMain(int argc, char** argv) { return RunBatcher(argc, argv); }
