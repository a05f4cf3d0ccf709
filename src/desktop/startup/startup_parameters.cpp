#include "desktop/startup/startup_parameters.h"

#include "system/files/path_ops.h"
#include "system/os/platform_services.h"
#include "desktop/window/shell_state.h"

namespace vennik {

namespace {
constexpr TextView kClipboardSwitch = u"/npp";
constexpr TextView kVariableReport = u"/VariableReport";
}  // namespace

Text joinParameters(const std::vector<Text>& parameters) {
  Text joined;
  for (size_t i = 0; i < parameters.size(); ++i) {
    if (i > 0) joined.push_back(u',');
    joined += parameters[i];
  }
  return joined;
}

CommandTextForm classifyCommandText(TextView commandText) {
  if (startsWith(commandText, kClipboardSwitch)) return CommandTextForm::ClipboardHandOff;
  if (commandText.empty()) return CommandTextForm::Empty;
  return CommandTextForm::SourcePath;
}

bool requestsVariableReport(TextView commandText) {
  const auto fields = splitFields(commandText, u',');
  return fields.size() >= 3 && fields[2] == kVariableReport;
}

Text absoluteCommandText(TextView commandText, TextView workingFolder) {
  if (classifyCommandText(commandText) != CommandTextForm::SourcePath) return Text(commandText);
  return absolutePath(commandText, workingFolder);
}

void runClipboardHandOff(CommandContext& ctx, TextView commandText) {
  ShellState& shell = ctx.shell;
  shell.textSourceFlag = true;
  shell.settings.lastFile = Text(kClipboardName);
  shell.fileLabel = Text(kClipboardName);
  shell.source = ProgramSource(ctx.platform.clipboardText());
  // Otherwise the text is held for the next Re-scan, which reads no file.
  if (requestsVariableReport(commandText)) analyseSource(ctx);
}

void actOnCommandText(CommandContext& ctx, TextView commandText, TextView workingFolder) {
  ShellState& shell = ctx.shell;
  switch (classifyCommandText(commandText)) {
    case CommandTextForm::ClipboardHandOff:
      runClipboardHandOff(ctx, commandText);
      break;
    case CommandTextForm::Empty:
      break;
    case CommandTextForm::SourcePath: {
      const Text path = absolutePath(commandText, workingFolder);
      std::optional<ProgramSource> text = readSourceOrSay(ctx, path);
      if (!text) break;
      takeSourceFile(shell, path, std::move(*text));
      shell.textWindow.clear();
      shell.textWindow.append(path);
      analyseSource(ctx);
      break;
    }
  }
}

}  // namespace vennik
