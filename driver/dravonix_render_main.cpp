// Entry point of the picture command.
#include "driver/renderer.h"
#include "platform/program_main.h"

int dravonix::ProgramMain(int argc, char** argv) { return RunRenderer(argc, argv); }
