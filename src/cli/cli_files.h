#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `files`: lists a folder of a board's drive, as its FILES command does.
void addFilesCommand(CLI::App& app);

}  // namespace vennik::cli
