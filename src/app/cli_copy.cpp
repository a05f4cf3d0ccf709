#include "cli_copy.h"

#include <iostream>
#include <memory>

#include "cli_session.h"
#include "transform/copy_modes.h"
#include "transform/crunch.h"

namespace vennik::cli {

namespace {
struct CopyOptions {
  CommonOptions common;
  int mode = 1;
};

std::string modeHelp() {
  std::string help = "Copy mode:";
  for (const CopyModeInfo& m : copyModes()) {
    help += "\n  " + std::to_string(m.mode) + "  " + toUtf8(m.menuCaption);
  }
  return help;
}
}  // namespace

void addCopyCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<CopyOptions>();
  CLI::App* cmd = app.add_subcommand(
      "copy", "Print the text the Copy button puts on the clipboard, in Windows-1252 as sources are read");
  cmd->add_option("--mode", opts->mode, modeHelp())->required()->check(CLI::Range(1, 7));
  addCommonOptions(*cmd, opts->common, true);
  cmd->callback([opts, &exitCode] {
    Session s;
    startWithFile(opts->common, s);
    const CopyModeInfo* info = copyModeInfo(opts->mode);
    // The desktop user crunches before copying crunched; here there is no
    // window to crunch in first, so the command does it.
    if (info != nullptr && info->source == CopySource::TextWindow && !info->header.empty()) {
      crunch(s.shell, s.analysis);
    }
    Text text = copyText(opts->mode, s.shell.textWindow.read(), s.shell.sourceText);
    writeWindows1252(std::cout, text, "the copied text");
    exitCode = 0;
  });
}

}  // namespace vennik::cli
