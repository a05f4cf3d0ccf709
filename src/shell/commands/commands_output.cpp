// Crunch, Library, Copy, Save report, About and Quit: the commands that work
// on what the last analysis left or on the text window as it stands.
#include "shell/commands/window_commands.h"
#include "shell/system/path_ops.h"
#include "shell/system/platform_services.h"
#include "shell/commands/report_file.h"
#include "shell/window/shell_state.h"
#include "shell/window/ui_services.h"
#include "transform/copy_modes.h"
#include "transform/crunch.h"
#include "transform/envelope_check.h"
#include "transform/library.h"

namespace vennik {

void crunchCommand(CommandContext& ctx) {
  ShellState& shell = ctx.shell;
  shell.textWindow.clear();
  if (!ctx.analysis) return;  // nothing analysed yet
  const CrunchResult crunched = crunch(*ctx.analysis);
  shell.textWindow.replace(fromUtf8(crunched.text));
  shell.fileLabel = fromUtf8(crunched.message());
}

void libraryCommand(CommandContext& ctx) {
  ShellState& shell = ctx.shell;
  Text collection = ctx.analysis ? collectLibraryNames(*ctx.analysis, shell.libraryList) : Text(u" ");
  const bool nothingCollected = collection == u" ";
  if (ctx.ui.askYesNo(kLibraryTitle, nothingCollected ? kLibraryClearText : kLibraryReplaceText)) {
    shell.libraryList = std::move(collection);
  }
}

void copyCommand(CommandContext& ctx) {
  const ShellState& shell = ctx.shell;
  const Text window = shell.textWindow.read();
  // A control character inside an envelope would act as a key on the board:
  // the clipboard keeps what it had.
  if (std::optional<Text> problem = envelopeProblem(shell.copyMode, window, shell.sourceText)) {
    ctx.ui.showMessage(u"Copy", *problem);
    return;
  }
  ctx.platform.setClipboardText(copyText(shell.copyMode, window, shell.sourceText));
}

void selectCopyMode(CommandContext& ctx, int32_t mode) {
  ctx.shell.copyMode = mode;
  copyCommand(ctx);
  if (const TextView* tooltip = copyTooltip(mode)) ctx.ui.setCopyTooltip(*tooltip);
  ctx.ui.markCopyMode(mode);
}

void showInitialCopyMode(UiServices& ui, int32_t mode) {
  ui.setCopyTooltip(*copyTooltip(1));
  ui.markCopyMode(mode);
  if (const TextView* tooltip = copyTooltip(mode)) ui.setCopyTooltip(*tooltip);
}

void saveReportCommand(CommandContext& ctx) {
  const Text text = ctx.shell.textWindow.read();
  std::optional<Text> chosen = ctx.ui.askSaveFileName({kSaveTitle, ctx.shell.settingsFolder, kSaveFilters});
  // A name that ends in a separator names a folder, not a file.
  if (!chosen || chosen->empty() || folderPart(*chosen).size() == chosen->size()) return;
  // A file that cannot be written is left alone without a message.
  writeReportFile(withReportExtension(*chosen), text);
}

Text aboutText(TextView buildDate) {
  Text text = u"Build " + decimal(kBuildNumber);
  text += u'\n';
  text += buildDate;
  text += u'\n';
  text += kHomePage;
  return text;
}

void aboutCommand(CommandContext& ctx) { ctx.ui.showMessage(kAboutTitle, aboutText(ctx.buildDate)); }

void quitCommand(CommandContext& ctx) { ctx.shell.quitFlag = true; }

}  // namespace vennik
