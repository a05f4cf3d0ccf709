#include "system/os/standard_streams.h"

#include <unistd.h>

#include <csignal>

namespace vennik {

// Nothing to set up: streams carry bytes, and a terminal takes UTF-8.
StandardStreams::StandardStreams() = default;
StandardStreams::~StandardStreams() = default;

std::vector<std::string> commandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

void ignoreBrokenPipes() { std::signal(SIGPIPE, SIG_IGN); }

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace vennik
