// Entry point of the resave command.
#include "driver/resaver.h"

int main(int argc, char** argv) { return dravonix::RunResaver(argc, argv); }
