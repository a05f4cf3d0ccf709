#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `run`: sends a program as `send` does, types RUN, and relays the board's
// output and the user's keys until the program has ended, printing each
// error report of the board also as FILE:LINE:COLUMN: error: MESSAGE.
void addRunCommand(CLI::App& app);

}  // namespace vennik::cli
