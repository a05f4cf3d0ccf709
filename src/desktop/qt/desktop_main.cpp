// vennikplus: the desktop program.
#include "desktop/qt/desktop_app.h"

int main(int argc, char** argv) { return vennik::runDesktopProgram(argc, argv); }
