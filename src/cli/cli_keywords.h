#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `keywords`: a keyword list of the firmware on a board, from its own tables.
void addKeywordsCommand(CLI::App& app);

}  // namespace vennik::cli
