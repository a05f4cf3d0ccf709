#include "shell/window/window_analysis.h"

#include "analysis/report_text.h"
#include "shell/window/shell_state.h"

namespace vennik {

AnalysisOptions analysisOptions(const ShellState& shell) {
  AnalysisOptions options;
  options.variableFactor = shell.variableFactor;
  options.libraryList = toUtf8(shell.libraryList);
  options.fileName = toUtf8(shell.currentFileName);
  return options;
}

void analyseIntoWindow(ShellState& shell, std::optional<Analysis>& last, const KeywordTable& keywords,
                       const MillisecondClock& clock) {
  last.reset();  // the previous analysis is not needed while the next one runs
  last = analyse(std::string_view(toUtf8(shell.sourceText)), analysisOptions(shell), keywords, clock);
  shell.textWindow.append(fromUtf8(reportText(*last)));
}

}  // namespace vennik
