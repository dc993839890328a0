// varune-wardrobe, the desktop program.

#include "app/program.h"

int main(int argc, char** argv) { return varune::app::RunProgram(argc, argv); }
