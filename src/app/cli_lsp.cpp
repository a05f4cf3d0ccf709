#include "cli_lsp.h"

#include <csignal>
#include <iostream>
#include <memory>

#include "analysis/analysis.h"
#include "cli_common.h"
#include "lsp/server.h"

namespace vennik::cli {

namespace {
struct LspOptions {
  std::optional<float> factor;
  std::optional<std::string> library;
  std::optional<std::string> settings;
};
}  // namespace

void addLspCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<LspOptions>();
  CLI::App* cmd = app.add_subcommand(
      "lsp", "Language server (LSP 3.17) over standard input and output, for editors");
  cmd->add_option("--factor", opts->factor, "Variable factor: rows of the name table per source line (default 0.5)");
  cmd->add_option("--library", opts->library, "Library names, separated by blanks");
  cmd->add_option("--settings", opts->settings,
                  "Settings file for the variable factor and Library (default: the desktop program's VennikPlus.inf)");
  cmd->callback([opts, &exitCode] {
    CommonOptions common;
    common.factor = opts->factor;
    common.library = opts->library;
    common.settings = opts->settings;
    ShellState shell;
    applyCommonOptions(common, shell);

    static const KeywordTable keywords = buildKeywordTable();
    lsp::ServerConfig config;
    config.options.variableFactor = shell.variableFactor;
    config.options.libraryList = toUtf8(shell.libraryList);
    config.keywords = &keywords;
    config.clock = steadyMillisecondClock();
    // A client that goes away shows as a failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    exitCode = lsp::serve(std::cin, std::cout, std::cerr, std::move(config));
  });
}

}  // namespace vennik::cli
