#pragma once
// Runs the command-line tool as a user would and captures what it writes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vennik::testing {

struct CliRun {
  int exitCode = -1;
  std::string out;  // standard output, bytes as written
  std::string err;
};

inline std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string readAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

#ifdef VENNIK_CLI
#include <sys/wait.h>

// The tool the tests run: the one this build made, or the one
// VENNIK_CLI_UNDER_TEST names (the Windows build's, run under wine).
inline std::string cliUnderTest() {
  const char* other = std::getenv("VENNIK_CLI_UNDER_TEST");
  return other && *other ? other : VENNIK_CLI;
}

// Whether the tool under test is a Windows program under wine, where SIGINT
// alone reaches the program (as the console's Ctrl-C).
inline bool cliUnderWine() { return std::getenv("VENNIK_CLI_UNDER_WINE") != nullptr; }

// `stdinBytes`, when given, is fed to the tool's standard input.
inline CliRun runCli(const std::vector<std::string>& args, const std::string* stdinBytes = nullptr) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path();
  const std::string tag = std::to_string(::getpid());
  const fs::path errFile = dir / ("vennik_cli_err_" + tag);
  const fs::path inFile = dir / ("vennik_cli_in_" + tag);
  std::string cmd = shellQuote(cliUnderTest());
  for (const auto& a : args) cmd += " " + shellQuote(a);
  cmd += " 2>" + shellQuote(errFile.string());
  if (stdinBytes) {
    std::ofstream(inFile, std::ios::binary) << *stdinBytes;
    cmd += " <" + shellQuote(inFile.string());
  }
  CliRun run;
  FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return run;
  char buf[1 << 14];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = readAll(errFile);
  fs::remove(errFile);
  if (stdinBytes) fs::remove(inFile);
  return run;
}

#endif  // VENNIK_CLI

}  // namespace vennik::testing
