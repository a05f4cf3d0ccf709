#pragma once
// Runs the command line of vennikplus-cli inside the test process, with its
// standard output and error captured: the same code as the program, without
// starting one per call.
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "transform/cli_runner.h"

namespace vennik::testing {

inline CliRun runCliInProcess(const std::vector<std::string>& args) {
  std::vector<std::string> words{"vennikplus-cli"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  std::ostringstream out, err;
  std::streambuf* const oldOut = std::cout.rdbuf(out.rdbuf());
  std::streambuf* const oldErr = std::cerr.rdbuf(err.rdbuf());
  CliRun run;
  run.exitCode = vennik::cli::runCommandLine(static_cast<int>(words.size()), argv.data());
  std::cout.rdbuf(oldOut);
  std::cerr.rdbuf(oldErr);
  std::cout.clear();
  run.out = out.str();
  run.err = err.str();
  return run;
}

}  // namespace vennik::testing
