#include "cli/cli_lsp.h"

#include <iostream>
#include <memory>

#include "analysis/analysis.h"
#include "cli/cli_common.h"
#include "lsp/server.h"
#include "system/os/freed_memory.h"
#include "system/os/standard_streams.h"

namespace vennik::cli {

void addLspCommand(CLI::App& app) {
  auto opts = std::make_shared<CommonOptions>();
  CLI::App* cmd = app.add_subcommand(
      "lsp", "Language server (LSP 3.17) over standard input and output, for editors");
  addSettingsOptions(*cmd, *opts);
  addReadingOption(*cmd, *opts, "firmware, whatever the list: the server's answers edit programs");
  cmd->callback([opts] {
    const RunSettings run = runSettings(*opts);

    lsp::ServerConfig config;
    // No file name: the terminal-capture rule that drops a first line is
    // for captures loaded whole, not for a file the editor shows line by line.
    config.options = analysisOptions(run.settings, "", run.reading.value_or(Reading::Firmware));
    config.keywords = loadKeywords(run);
    config.chooseKeywords = [folders = keywordFolders(run.programFolder)](const std::string& choice) {
      return vennik::chooseKeywords(choice, folders);
    };
    config.clock = steadyMillisecondClock();
    // The server analyses the same program again on every keystroke.
    keepFreedMemoryForReuse();
    // A client that goes away shows as a failed write, not a signal.
    ignoreBrokenPipes();
    // Unsynchronised, standard input is a file buffer that can tell how much
    // input is waiting, so the server analyses once for a burst of changes.
    std::ios::sync_with_stdio(false);
    // The protocol's rule: exit without a shutdown request first is exit 1.
    if (lsp::serve(std::cin, std::cout, std::cerr, std::move(config)) != 0)
      throw CliError("the editor ended the session without asking to shut down first");
  });
}

}  // namespace vennik::cli
