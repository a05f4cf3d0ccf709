#include "shell/command_text.h"

#include "shell/source_file.h"
#include "shell/platform_services.h"
#include "shell/shell_state.h"
#include "shell/window_analysis.h"

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

CommandForm classifyCommandText(TextView commandText) {
  if (startsWith(commandText, kClipboardSwitch)) return CommandForm::ClipboardHandOff;
  if (commandText.empty()) return CommandForm::Empty;
  return CommandForm::SourcePath;
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
    case CommandForm::ClipboardHandOff:
      runClipboardHandOff(shell, analysis, keywords, platform, clock, commandText);
      break;
    case CommandForm::Empty:
      break;
    case CommandForm::SourcePath:
      shell.currentFileName = Text(commandText);
      shell.textWindow.clear();
      shell.textWindow.append(commandText);
      shell.sourceText = loadSourceFile(shell, commandText);
      analyseIntoWindow(shell, analysis, keywords, clock);
      break;
  }
}

}  // namespace vennik
