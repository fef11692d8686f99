// The reader: opens the one window and runs until it closes.
#include "window/Start.h"

int main(int argc, char** argv) { return mushaf::RunReader(argc, argv); }
