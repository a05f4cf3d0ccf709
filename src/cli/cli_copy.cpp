#include "cli/cli_copy.h"

#include <iostream>
#include <memory>

#include "board/transfer/board_names.h"
#include "cli/cli_copy_bytes.h"
#include "transform/copy_modes.h"

namespace vennik::cli {

namespace {
struct CopyOptions {
  CommonOptions common;
  int mode = 1;
};

std::string modeHelp() {
  std::string help = "Copy mode:";
  for (const CopyModeInfo& m : copyModes()) {
    help += "\n  " + std::to_string(m.mode) + "  ";
    switch (m.body) {
      case CopyBody::AsShown: help += "the text window: the report"; break;
      case CopyBody::Crunched: help += "crunched for " + boardNamesForCopyMode(m.mode); break;
      case CopyBody::Source: help += "uncrunched for " + boardNamesForCopyMode(m.mode); break;
    }
  }
  return help;
}

}  // namespace

void addCopyCommand(CLI::App& app) {
  auto opts = std::make_shared<CopyOptions>();
  CLI::App* cmd = app.add_subcommand(
      "copy", "Print the text the Copy button puts on the clipboard, in Windows-1252 as sources are read");
  cmd->add_option("--mode", opts->mode, modeHelp())->required()->check(CLI::Range(1, 7));
  addCommonOptions(*cmd, opts->common, true);
  addReadingOption(*cmd, opts->common, "literal with the built-in list, firmware with any other");
  cmd->callback([opts] {
    writeCopyBytes(opts->common, opts->mode, std::cout);
  });
}

}  // namespace vennik::cli
