#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `term`: a serial terminal on a board's port; with the program on the
// board (given, or the last one sent to that port), the board's error
// reports are also printed as FILE:LINE:COLUMN: error: MESSAGE.
void addTermCommand(CLI::App& app);

}  // namespace vennik::cli
