#include "desktop/window/window_analysis.h"

#include "analysis/report_text.h"
#include "desktop/window/shell_state.h"
#include "settings/options/analysis_options.h"

namespace vennik {

AnalysisRequest analysisRequest(const ShellState& shell) {
  return {toUtf8(shell.sourceText), analysisOptions(shell.settings, toUtf8(shell.settings.lastFile), shell.reading)};
}

AnalysisOutcome runAnalysisRequest(const AnalysisRequest& request, const KeywordTable& keywords,
                                   const MillisecondClock& clock) {
  Analysis analysis = analyse(std::string_view(request.source), request.options, keywords, clock);
  Text report = fromUtf8(reportText(analysis));
  // Room for the lines above it in the window (the path), so that putting
  // them in front moves the report in place instead of copying it anew on
  // the window's thread.
  report.reserve(report.size() + 4096);
  return {std::move(analysis), std::move(report)};
}

void showAnalysisOutcome(ShellState& shell, std::optional<Analysis>& last, AnalysisOutcome&& outcome) {
  last = std::move(outcome.analysis);
  shell.textWindow.appendReport(std::move(outcome.report));
}

void analyseIntoWindow(ShellState& shell, std::optional<Analysis>& last, const KeywordTable& keywords,
                       const MillisecondClock& clock) {
  last.reset();  // the previous analysis is not needed while the next one runs
  showAnalysisOutcome(shell, last, runAnalysisRequest(analysisRequest(shell), keywords, clock));
}

}  // namespace vennik
