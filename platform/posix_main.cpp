// A program's entry point on POSIX systems: the arguments are already bytes.
#include "platform/program_main.h"

int main(int argc, char** argv) { return dravonix::ProgramMain(argc, argv); }
