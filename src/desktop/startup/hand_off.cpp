#include "desktop/startup/hand_off.h"

#include "desktop/startup/startup_parameters.h"
#include "system/files/path_ops.h"
#include "desktop/window/shell_state.h"

namespace vennik {

std::optional<Text> handOffText(std::string_view utf8Payload) {
  const size_t zero = utf8Payload.find('\0');
  if (zero != std::string_view::npos) utf8Payload = utf8Payload.substr(0, zero);
  Text text = fromUtf8(utf8Payload);
  if (trimBlanks(text).empty()) return std::nullopt;
  return text;
}

void takeHandOffEvent(CommandContext& ctx, TextView text) {
  ShellState& shell = ctx.shell;
  if (classifyCommandText(text) == CommandTextForm::ClipboardHandOff) {
    shell.textWindow.clear();
    runClipboardHandOff(ctx, text);
    return;
  }
  std::optional<ProgramSource> source = readSourceOrSay(ctx, text);
  if (!source) return;
  shell.textWindow.clear();
  shell.settings.sourceFolder = folderPart(text);
  takeSourceFile(shell, text, std::move(*source));
  analyseSource(ctx);
}

}  // namespace vennik
