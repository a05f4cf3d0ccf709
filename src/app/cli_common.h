#pragma once
// What every subcommand of the command-line tool shares: the options that
// stand for the desktop program's settings, reading the source, and output.
#include <iosfwd>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/keyword_table.h"
#include "shell/shell_state.h"

namespace vennik::cli {

// A failure the user caused: printed to standard error, exit code 1.
struct CliError {
  std::string message;
};

struct CommonOptions {
  std::optional<float> factor;
  std::optional<std::string> library;
  std::optional<std::string> name;
  std::string file;
};

// Adds --factor, --library and --name plus the FILE argument.
void addCommonOptions(CLI::App& cmd, CommonOptions& opts, bool withName);

// Fills the shell state as the desktop program would hold it after reading
// its settings: variable factor and Library from the options.
void applyCommonOptions(const CommonOptions& opts, ShellState& shell);

// Reads FILE ("-" is standard input) as the desktop program loads a source.
// Throws CliError naming the file and the reason when it cannot be read.
Text readSource(const std::string& file, std::istream& stdinStream);

// The text window's lines as UTF-8 with LF ends and one final LF.
std::string windowAsUtf8Lines(const TextWindow& window);

}  // namespace vennik::cli
