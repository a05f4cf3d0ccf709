#include "shell/startup/startup_parameters.h"

#include "shell/commands/source_loading.h"
#include "shell/system/platform_services.h"
#include "shell/window/shell_state.h"
#include "shell/window/window_analysis.h"

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

void runClipboardHandOff(ShellState& shell, std::optional<Analysis>& analysis, const KeywordTable& keywords,
                         PlatformServices& platform, const MillisecondClock& clock, TextView commandText) {
  shell.textSourceFlag = true;
  shell.currentFileName = u"Clipboard";
  shell.sourceText = platform.clipboardText();
  // Otherwise the text is held for the next Re-scan, which reads no file.
  if (requestsVariableReport(commandText)) analyseIntoWindow(shell, analysis, keywords, clock);
}

void actOnCommandText(ShellState& shell, std::optional<Analysis>& analysis, const KeywordTable& keywords,
                      PlatformServices& platform, const MillisecondClock& clock, TextView commandText) {
  switch (classifyCommandText(commandText)) {
    case CommandTextForm::ClipboardHandOff:
      runClipboardHandOff(shell, analysis, keywords, platform, clock, commandText);
      break;
    case CommandTextForm::Empty:
      break;
    case CommandTextForm::SourcePath:
      shell.currentFileName = Text(commandText);
      shell.textWindow.clear();
      shell.textWindow.append(commandText);
      shell.sourceText = loadSourceFile(shell, commandText);
      analyseIntoWindow(shell, analysis, keywords, clock);
      break;
  }
}

}  // namespace vennik
