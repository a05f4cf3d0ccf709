#include "desktop/window/window_analysis.h"

#include "analysis/report_text.h"
#include "desktop/window/shell_state.h"
#include "settings/options/analysis_options.h"
#include "system/os/freed_memory.h"

namespace vennik {

AnalysisRequest analysisRequest(const ShellState& shell) {
  return {shell.source.shared(), analysisOptions(shell.settings, toUtf8(shell.settings.lastFile), shell.reading)};
}

AnalysisOutcome runAnalysisRequest(AnalysisRequest&& request, const KeywordTable& keywords,
                                   const MillisecondClock& clock) {
  Analysis analysis = analyse(std::move(request.source), request.options, keywords, clock);
  // What the analysis built on its way and let go of is given back before
  // the report comes on top.
  giveBackFreedMemory();
  // Written in pieces straight into the text the window will hold: the
  // report of a million-line source is never held twice, nor as one string
  // grown by copying.
  WindowText report;
  writeReport(analysis, [&report](std::string_view piece) { report.append(piece); });
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
