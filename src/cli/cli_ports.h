#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `ports`: lists the serial ports with what the system knows of each.
void addPortsCommand(CLI::App& app);

}  // namespace vennik::cli
