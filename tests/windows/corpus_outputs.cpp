// Writes what vennikplus-cli prints for each program of a list (report,
// report --json, crunch, flatten) into files, for a comparison with the
// Linux build's byte for byte. The command line runs in this one process,
// its standard output and error reopened onto a file for each run: wine
// takes a good part of a second to start a program, too long for hundreds.
//   corpus_outputs LIST SETTINGS OUT
// LIST holds one path a line; the outputs of the program on line I (from 0)
// are OUT/I.report, OUT/I.report.err and so on, and OUT/exits holds
// "I KIND EXIT-CODE" lines.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "system/os/standard_streams.h"

namespace {

int runInto(std::vector<std::string> words, const std::string& out, const std::string& err) {
  std::fflush(stdout);
  std::fflush(stderr);
  if (!std::freopen(out.c_str(), "wb", stdout) || !std::freopen(err.c_str(), "wb", stderr)) return -1;
  words.insert(words.begin(), "vennikplus-cli");
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const int code = vennik::cli::runCommandLine(static_cast<int>(words.size()), argv.data());
  std::fflush(stdout);
  std::fflush(stderr);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: corpus_outputs LIST SETTINGS OUT\n", stderr);
    return 2;
  }
  const vennik::StandardStreams streams;
  const std::string settings = argv[2];
  const std::string out = std::string(argv[3]) + "/";
  std::ifstream list(argv[1], std::ios::binary);
  std::ofstream exits(out + "exits", std::ios::binary);
  std::string path;
  for (int i = 0; std::getline(list, path); ++i) {
    const std::string name = out + std::to_string(i);
    const struct {
      const char* kind;
      std::vector<std::string> words;
    } runs[] = {
        {"report", {"report", "--settings", settings, path}},
        {"json", {"report", "--json", "--settings", settings, path}},
        {"crunch", {"crunch", "--settings", settings, path}},
        {"flatten", {"flatten", path}},
    };
    for (const auto& run : runs) {
      const int code = runInto(run.words, name + "." + run.kind, name + "." + run.kind + ".err");
      exits << i << ' ' << run.kind << ' ' << code << '\n';
    }
  }
  return 0;
}
