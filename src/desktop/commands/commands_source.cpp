// Load, Re-scan and the two drops: the commands that put a new source into
// the source text and analyse it.
#include "desktop/commands/source_loading.h"
#include "desktop/commands/window_commands.h"
#include "system/files/path_ops.h"
#include "system/files/source_file.h"
#include "desktop/window/shell_state.h"
#include "desktop/window/ui_services.h"
#include "desktop/window/window_analysis.h"

namespace vennik {

namespace {
constexpr TextView kNoFileText = u"There is no file to read yet: load one first.";
}  // namespace

void takeSourceFile(ShellState& shell, TextView path, ProgramSource&& text) {
  shell.settings.lastFile = Text(path);
  shell.fileLabel = shortenPath(path, kFileLabelLimit);
  shell.source = std::move(text);
  shell.textSourceFlag = false;
}

std::optional<ProgramSource> readSourceOrSay(CommandContext& ctx, TextView path) {
  if (path.empty()) {
    ctx.ui.showMessage(kMessageTitle, kNoFileText);
    return std::nullopt;
  }
  ReadFailure failure;
  std::optional<ProgramSource> text = loadSourceFile(path, &failure);
  if (!text) ctx.ui.showMessage(kMessageTitle, u"Cannot read " + Text(path) + u":\n" + fromUtf8(failure.reason));
  return text;
}

void analyseSource(CommandContext& ctx) {
  ctx.analysis.reset();
  if (ctx.backgroundAnalysis && ctx.shell.source.utf8().size() >= kBackgroundAnalysisChars) {
    *ctx.backgroundAnalysis = analysisRequest(ctx.shell);
    return;
  }
  analyseIntoWindow(ctx.shell, ctx.analysis, *ctx.keywords.table, ctx.clock);
}

void loadCommand(CommandContext& ctx) {
  ShellState& shell = ctx.shell;
  std::optional<Text> chosen = ctx.ui.askOpenFileName({kOpenTitle, shell.settings.sourceFolder, kOpenFilters});
  // A cancel keeps everything, so that clipboard or dropped text with no
  // file behind it is not lost.
  if (!chosen) return;
  std::optional<ProgramSource> text = readSourceOrSay(ctx, *chosen);
  if (!text) return;
  shell.textWindow.clear();
  shell.settings.sourceFolder = folderPart(*chosen);
  takeSourceFile(shell, *chosen, std::move(*text));
  shell.textWindow.append(*chosen);
  shell.textWindow.append(u"");
  analyseSource(ctx);
}

void rescanCommand(CommandContext& ctx, RescanForm form) {
  ShellState& shell = ctx.shell;
  const bool readFile = !shell.textSourceFlag;
  // With the flag set the held clipboard or dropped text is analysed again.
  if (readFile) {
    std::optional<ProgramSource> text = readSourceOrSay(ctx, shell.settings.lastFile);
    if (!text) return;
    shell.source = std::move(*text);
  }
  shell.textWindow.clear();
  if (form == RescanForm::Button || readFile) shell.fileLabel = shortenPath(shell.settings.lastFile, kFileLabelLimit);
  analyseSource(ctx);
}

void takeDroppedFile(CommandContext& ctx, const std::vector<Text>& paths) {
  if (paths.empty()) return;
  ShellState& shell = ctx.shell;
  const Text path = paths.front();
  std::optional<ProgramSource> text = readSourceOrSay(ctx, path);
  if (!text) return;
  shell.textWindow.clear();
  shell.settings.sourceFolder = folderPart(path);
  takeSourceFile(shell, path, std::move(*text));
  shell.textWindow.append(path);
  analyseSource(ctx);
}

void takeDroppedText(CommandContext& ctx, TextView text) {
  ShellState& shell = ctx.shell;
  shell.textSourceFlag = true;
  shell.source = ProgramSource(text);
  shell.settings.lastFile = Text(kDroppedTextName);
  shell.fileLabel = Text(kDroppedTextName);
  shell.textWindow.clear();
  analyseSource(ctx);
}

}  // namespace vennik
