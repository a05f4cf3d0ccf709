// vennikplus-cli: the analysis, crunch and copy of the desktop program, for
// scripts and editors.
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "system/os/standard_streams.h"

int main(int argc, char** argv) {
  // Bytes as they are on every stream, and the arguments in UTF-8, on every
  // system: a report or a crunch is the same file on Windows as on Linux.
  const vennik::StandardStreams streams;
  std::vector<std::string> arguments = vennik::commandLineArguments(argc, argv);
  std::vector<char*> words;
  for (std::string& a : arguments) words.push_back(a.data());
  words.push_back(nullptr);
  return vennik::cli::runCommandLine(static_cast<int>(arguments.size()), words.data());
}
