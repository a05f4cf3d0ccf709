#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `lsp`: a language server over standard input and output.
void addLspCommand(CLI::App& app);

}  // namespace vennik::cli
