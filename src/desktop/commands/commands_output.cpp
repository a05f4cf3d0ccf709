// Crunch, Library, Copy, Save report, About and Quit: the commands that work
// on what the last analysis left or on the text window as it stands.
#include "desktop/commands/window_commands.h"
#include "system/files/path_ops.h"
#include "system/files/safe_file_write.h"
#include "system/files/source_file.h"
#include "system/os/platform_services.h"
#include "desktop/commands/library_questions.h"
#include "desktop/commands/report_file.h"
#include "desktop/window/copy_mode_captions.h"
#include "desktop/window/shell_state.h"
#include "desktop/window/ui_services.h"
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
  shell.textWindow.replace(WindowText(crunched.text));
  shell.fileLabel = fromUtf8(crunched.message());
}

void libraryCommand(CommandContext& ctx) {
  ShellState& shell = ctx.shell;
  const Text held = u" " + shell.settings.library + u" ";
  const Text collection = ctx.analysis ? collectLibraryNames(*ctx.analysis, held) : Text(u" ");
  const bool nothingCollected = collection == u" ";
  if (ctx.ui.askYesNo(kLibraryTitle, nothingCollected ? kLibraryClearText : kLibraryReplaceText)) {
    shell.settings.library = Text(trimBlanks(collection));
  }
}

Text crunchFirstText(int32_t mode) {
  return Text(kCrunchFirst) + u": the text window holds the report, and \"" + Text(copyModeCaption(mode)->menuCaption) +
         u"\" takes the crunched program.";
}

bool takesCrunchedProgram(int32_t mode) {
  const CopyModeInfo* info = copyModeInfo(mode);
  return info != nullptr && info->body == CopyBody::Crunched;
}

void copyCommand(CommandContext& ctx) {
  const ShellState& shell = ctx.shell;
  const int32_t mode = shell.settings.copyMode;
  if (takesCrunchedProgram(mode) && shell.textWindow.holdsReport()) {
    ctx.ui.showMessage(u"Copy", crunchFirstText(mode));
    return;
  }
  // The text window as it stands (crunched by the user for modes 2 to 4),
  // or the source for the modes that copy it uncrunched.
  const CopyModeInfo* info = copyModeInfo(mode);
  const Text body = info && info->body == CopyBody::Source ? shell.source.text() : shell.textWindow.read();
  // A control character inside an envelope would act as a key on the board:
  // the clipboard keeps what it had.
  if (std::optional<Text> problem = envelopeProblem(mode, body)) {
    ctx.ui.showMessage(u"Copy", *problem);
    return;
  }
  ctx.platform.setClipboardText(wrapInEnvelope(mode, body));
}

void selectCopyMode(CommandContext& ctx, int32_t mode) {
  ctx.shell.settings.copyMode = mode;
  copyCommand(ctx);
  if (const TextView* tooltip = copyTooltip(mode)) ctx.ui.setCopyTooltip(*tooltip);
  ctx.ui.markCopyMode(mode);
}

void showInitialCopyMode(UiServices& ui, int32_t mode) {
  ui.setCopyTooltip(*copyTooltip(1));
  ui.markCopyMode(mode);
  if (const TextView* tooltip = copyTooltip(mode)) ui.setCopyTooltip(*tooltip);
}

Text reportStartFolder(const ShellState& shell) {
  if (!shell.reportFolder.empty()) return shell.reportFolder;
  // "Clipboard" and "Dropped text" have no folder.
  Text folder = folderPart(shell.settings.lastFile);
  return folder.empty() ? shell.documentsFolder : folder;
}

Text offeredReportName(TextView currentFileName) {
  const Text name(TextView(currentFileName).substr(folderPart(currentFileName).size()));
  if (name.empty()) return name;
  const size_t dot = name.rfind(u'.');
  Text offered = (dot == Text::npos || dot == 0 ? name : name.substr(0, dot)) + u".txt";
  // A source that is itself a ".txt" file is never offered for replacing.
  if (offered == name) offered = name + u".txt";
  return offered;
}

void saveReportCommand(CommandContext& ctx) {
  ShellState& shell = ctx.shell;
  const Text text = shell.textWindow.read();
  const Text folder = reportStartFolder(shell);
  const Text name = offeredReportName(shell.settings.lastFile);
  std::optional<Text> chosen = ctx.ui.askSaveFileName({kSaveTitle, folder, kSaveFilters, name});
  // A name that ends in a separator names a folder, not a file.
  if (!chosen || chosen->empty() || folderPart(*chosen).size() == chosen->size()) return;
  const Text path = withReportExtension(*chosen);
  // The folder would let the file be replaced; its own bits say it is not
  // to be, so the user decides, No being the safe answer.
  if (isWriteProtected(toFileSystemPath(path)) &&
      !ctx.ui.askYesNo(kMessageTitle, path + u" is write-protected.\n\nReplace it all the same?", false)) {
    return;
  }
  std::string error;
  if (!writeReportFile(path, text, &error)) {
    ctx.ui.showMessage(kMessageTitle, u"Cannot write " + path + u":\n" + fromUtf8(error));
    return;
  }
  shell.reportFolder = folderPart(path);
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
