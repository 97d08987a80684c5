// Entry point of the converter command.
#include "driver/converter.h"

int main(int argc, char** argv) { return dravonix::RunConverter(argc, argv); }
