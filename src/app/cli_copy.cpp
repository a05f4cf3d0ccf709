#include "cli_copy.h"

#include <iostream>
#include <memory>

#include "analysis/report_text.h"
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

// What the text window holds: after a start with FILE the path line and the
// report; after a crunch the crunched program.
std::string windowText(const Analysis& analysis, const CopyModeInfo* info) {
  // The desktop user crunches before copying crunched; here there is no
  // window to crunch in first, so the command does it.
  if (info != nullptr && info->source == CopySource::TextWindow && !info->header.empty()) {
    return crunch(analysis).text;
  }
  std::string window = analysis.fileName() + "\n" + reportText(analysis);
  std::string crlf;
  crlf.reserve(window.size() + window.size() / 16);
  for (char c : window) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  return crlf;
}
}  // namespace

void addCopyCommand(CLI::App& app, int& exitCode) {
  auto opts = std::make_shared<CopyOptions>();
  CLI::App* cmd = app.add_subcommand(
      "copy", "Print the text the Copy button puts on the clipboard, in Windows-1252 as sources are read");
  cmd->add_option("--mode", opts->mode, modeHelp())->required()->check(CLI::Range(1, 7));
  addCommonOptions(*cmd, opts->common, true);
  cmd->callback([opts, &exitCode] {
    const Analysis analysis = analyseFile(opts->common);
    const CopyModeInfo* info = copyModeInfo(opts->mode);
    const std::string window = windowText(analysis, info);
    const Text text = copyText(opts->mode, fromUtf8(window), fromUtf8(analysis.source()));
    writeWindows1252(std::cout, toUtf8(text), "the copied text");
    exitCode = 0;
  });
}

}  // namespace vennik::cli
