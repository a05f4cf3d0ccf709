#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `put`: sends files to a board's drive by XMODEM under their own names.
void addPutCommand(CLI::App& app);

}  // namespace vennik::cli
