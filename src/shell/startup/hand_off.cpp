#include "shell/startup/hand_off.h"

#include "shell/commands/source_loading.h"
#include "shell/startup/startup_parameters.h"
#include "shell/system/path_ops.h"
#include "shell/window/shell_state.h"
#include "shell/window/window_analysis.h"

namespace vennik {

void storeHandOffText(ShellState& shell, std::string_view utf8Payload) {
  const size_t zero = utf8Payload.find('\0');
  if (zero != std::string_view::npos) utf8Payload = utf8Payload.substr(0, zero);
  shell.currentFileName = fromUtf8(utf8Payload);
  // A blank text is kept as received otherwise, untrimmed.
  if (trimBlanks(shell.currentFileName).empty()) shell.currentFileName = Text(kNoneReceived);
}

void takeHandOffEvent(CommandContext& ctx) {
  ShellState& shell = ctx.shell;
  // The current file name is copied: the clipboard hand-off renames it.
  const Text commandText = shell.currentFileName;
  if (classifyCommandText(commandText) == CommandTextForm::ClipboardHandOff) {
    shell.textSourceFlag = true;
    shell.textWindow.clear();
    shell.fileLabel = Text(kClipboardName);
    runClipboardHandOff(shell, ctx.analysis, ctx.keywords, ctx.platform, ctx.clock, commandText);
    return;
  }
  shell.textWindow.clear();
  shell.sourceFolder = folderPart(commandText);
  shell.fileLabel = shortenPath(commandText, kFileLabelLimit);
  shell.sourceText = loadSourceFile(shell, commandText);
  analyseIntoWindow(shell, ctx.analysis, ctx.keywords, ctx.clock);
}

}  // namespace vennik
