// The finder program: one window on the desktop's display.
#include "finder_start.h"

int main(int argc, char** argv) { return RunFinder(argc, argv); }
