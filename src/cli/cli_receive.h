#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `receive`: fetches a file from a board with files by XMODEM.
void addReceiveCommand(CLI::App& app);

}  // namespace vennik::cli
