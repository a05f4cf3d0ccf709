#pragma once
#include <CLI/CLI.hpp>

namespace vennik::cli {

// `report`: prints what the text window holds after the desktop program is
// started with FILE, or the analysis as JSON.
void addReportCommand(CLI::App& app);

}  // namespace vennik::cli
