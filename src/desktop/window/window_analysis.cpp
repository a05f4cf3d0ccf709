#include "desktop/window/window_analysis.h"

#include "analysis/report_text.h"
#include "desktop/window/shell_state.h"
#include "settings/keywords/keyword_lists.h"

namespace vennik {

AnalysisOptions analysisOptions(const ShellState& shell) {
  AnalysisOptions options;
  options.variableFactor = shell.variableFactor;
  options.libraryList = toUtf8(shell.libraryList);
  options.fileName = toUtf8(shell.currentFileName);
  options.reading = shell.reading.value_or(defaultReading(toUtf8(shell.keywordList)));
  return options;
}

AnalysisRequest analysisRequest(const ShellState& shell) {
  return {toUtf8(shell.sourceText), analysisOptions(shell)};
}

AnalysisOutcome runAnalysisRequest(const AnalysisRequest& request, const KeywordTable& keywords,
                                   const MillisecondClock& clock) {
  Analysis analysis = analyse(std::string_view(request.source), request.options, keywords, clock);
  Text report = fromUtf8(reportText(analysis));
  return {std::move(analysis), std::move(report)};
}

void showAnalysisOutcome(ShellState& shell, std::optional<Analysis>& last, AnalysisOutcome&& outcome) {
  last = std::move(outcome.analysis);
  shell.textWindow.appendOwned(std::move(outcome.report));
}

void analyseIntoWindow(ShellState& shell, std::optional<Analysis>& last, const KeywordTable& keywords,
                       const MillisecondClock& clock) {
  last.reset();  // the previous analysis is not needed while the next one runs
  showAnalysisOutcome(shell, last, runAnalysisRequest(analysisRequest(shell), keywords, clock));
}

}  // namespace vennik
