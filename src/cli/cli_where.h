#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `where`: the file and line a line number read off a board's screen came
// from, for FILE sent in the given way.
void addWhereCommand(CLI::App& app);

}  // namespace vennik::cli
