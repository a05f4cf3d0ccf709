#pragma once
// The whole command line of vennikplus-cli, from arguments to exit code.
// Output goes to std::cout and std::cerr, so a caller can run it in-process.
namespace vennik::cli {

// Whatever goes wrong ends with a message and an exit code, never an abort.
int runCommandLine(int argc, char** argv);

}  // namespace vennik::cli
