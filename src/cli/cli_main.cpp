// vennikplus-cli: the analysis, crunch and copy of the desktop program, for
// scripts and editors.
#include "cli/cli_run.h"

int main(int argc, char** argv) { return vennik::cli::runCommandLine(argc, argv); }
