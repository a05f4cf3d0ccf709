#pragma once
// The steps the crunch and copy subcommands share: starting the program with
// FILE as the desktop program would, and writing text in the sources' code page.
#include <iosfwd>
#include <string_view>

#include "analysis/analysis_state.h"
#include "cli_common.h"

namespace vennik::cli {

struct Session {
  ShellState shell;
  AnalysisState analysis;
};

// Loads FILE and analyses it: the text window then holds the path line and
// the report. Throws CliError when FILE cannot be read.
void startWithFile(const CommonOptions& opts, Session& session);

// Writes the text as Windows-1252 bytes. Throws CliError naming the first
// character the code page cannot hold; nothing is written then.
void writeWindows1252(std::ostream& out, TextView text, std::string_view what);

}  // namespace vennik::cli
