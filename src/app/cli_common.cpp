#include "cli_common.h"

#include <istream>
#include <iterator>

#include "analysis/source_loader.h"

namespace vennik::cli {

void addCommonOptions(CLI::App& cmd, CommonOptions& opts, bool withName) {
  cmd.add_option("--factor", opts.factor, "Variable factor: rows of the name table per source line (default 0.5)");
  cmd.add_option("--library", opts.library, "Library names, separated by blanks");
  if (withName) {
    cmd.add_option("--name", opts.name, "Current file name shown in the report (default: FILE as given)");
  }
  cmd.add_option("FILE", opts.file, "BASIC source file, or - for standard input")->required();
}

void applyCommonOptions(const CommonOptions& opts, ShellState& shell) {
  if (opts.factor) shell.variableFactor = *opts.factor;
  if (opts.library) shell.libraryList = u" " + fromUtf8(*opts.library) + u" ";
}

Text readSource(const std::string& file, std::istream& stdinStream) {
  if (file == "-") {
    std::string bytes((std::istreambuf_iterator<char>(stdinStream)), std::istreambuf_iterator<char>());
    if (stdinStream.bad()) throw CliError{"cannot read standard input"};
    return decodeSourceBytes(bytes);
  }
  std::string reason;
  auto bytes = readFileBytes(file, &reason);
  if (!bytes) throw CliError{"cannot read '" + file + "': " + reason};
  return decodeSourceBytes(*bytes);
}

std::string windowAsUtf8Lines(const TextWindow& window) {
  std::string out = toUtf8(window.lines());
  out.push_back('\n');
  return out;
}

}  // namespace vennik::cli
