// Load, Re-scan and the two drops: the commands that put a new source into
// the source text and analyse it.
#include "shell/commands/source_loading.h"
#include "shell/commands/window_commands.h"
#include "shell/system/path_ops.h"
#include "shell/window/shell_state.h"
#include "shell/window/ui_services.h"
#include "shell/window/window_analysis.h"

namespace vennik {

namespace {
void analyse(CommandContext& ctx) { analyseIntoWindow(ctx.shell, ctx.analysis, ctx.keywords, ctx.clock); }
}  // namespace

void loadCommand(CommandContext& ctx) {
  ShellState& shell = ctx.shell;
  std::optional<Text> chosen = ctx.ui.askOpenFileName({kOpenTitle, shell.sourceFolder, kOpenFilters});
  // A cancel keeps everything, so that clipboard or dropped text with no
  // file behind it is not lost.
  if (!chosen) return;
  shell.textWindow.clear();
  shell.sourceFolder = folderPart(*chosen);
  shell.currentFileName = *chosen;
  shell.textWindow.append(*chosen);
  shell.textWindow.append(u"");
  shell.sourceText = loadSourceFile(shell, *chosen);
  analyse(ctx);
}

void rescanCommand(CommandContext& ctx, RescanForm form) {
  ShellState& shell = ctx.shell;
  shell.textWindow.clear();
  const bool readFile = !shell.textSourceFlag;
  if (form == RescanForm::Button || readFile) shell.fileLabel = shortenPath(shell.currentFileName, kFileLabelLimit);
  // With the flag set the held clipboard or dropped text is analysed again.
  if (readFile) shell.sourceText = loadSourceFile(shell, shell.currentFileName);
  analyse(ctx);
}

void takeDroppedFile(CommandContext& ctx, const std::vector<Text>& paths) {
  if (paths.empty()) return;
  ShellState& shell = ctx.shell;
  const Text path = paths.front();
  shell.currentFileName = path;
  shell.textWindow.clear();
  shell.sourceFolder = folderPart(path);
  shell.textWindow.append(path);
  shell.sourceText = loadSourceFile(shell, path);
  analyse(ctx);
}

void takeDroppedText(CommandContext& ctx, TextView text) {
  ShellState& shell = ctx.shell;
  shell.textSourceFlag = true;
  shell.sourceText = Text(text);
  shell.textWindow.clear();
  analyse(ctx);
}

}  // namespace vennik
