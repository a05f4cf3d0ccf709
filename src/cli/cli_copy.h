#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `copy`: prints what the Copy button would put on the clipboard in the given
// copy mode, in Windows-1252 so that it can go straight to a board's console.
void addCopyCommand(CLI::App& app);

}  // namespace vennik::cli
