// Entry point of the converter command.
#include "driver/converter.h"
#include "platform/program_main.h"

int dravonix::ProgramMain(int argc, char** argv) { return RunConverter(argc, argv); }
