#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `send`: sends a program to a board over its serial port, in the envelope
// of a copy mode, line by line at the pace of the board's echo.
void addSendCommand(CLI::App& app);

}  // namespace vennik::cli
