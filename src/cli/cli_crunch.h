#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `crunch`: prints the program without comments and blank lines, as the text
// window shows it after Crunch, and the savings message on standard error.
void addCrunchCommand(CLI::App& app);

}  // namespace vennik::cli
