#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `get`: fetches files from a board's drive by XMODEM.
void addGetCommand(CLI::App& app);

}  // namespace vennik::cli
