#include "desktop/window/window_analysis.h"

#include <cstring>

#include "analysis/report_text.h"
#include "base/big_array.h"
#include "desktop/window/shell_state.h"
#include "settings/options/analysis_options.h"

namespace vennik {

AnalysisRequest analysisRequest(const ShellState& shell) {
  return {toUtf8(shell.sourceText), analysisOptions(shell.settings, toUtf8(shell.settings.lastFile), shell.reading)};
}

AnalysisOutcome runAnalysisRequest(AnalysisRequest&& request, const KeywordTable& keywords,
                                   const MillisecondClock& clock) {
  // The analysis keeps a copy of its own; the request's is let go before the
  // analysis builds its tables, so that a large source is not held twice.
  BigArray<char> source;
  source.resizeForOverwrite(request.source.size());
  if (!request.source.empty()) std::memcpy(source.data(), request.source.data(), request.source.size());
  std::string().swap(request.source);
  Analysis analysis = analyse(std::move(source), request.options, keywords, clock);
  // Room for the lines above it in the window (the path) reserved at once, so
  // that putting them in front moves the report in place: growing a report
  // of a million-line source afterwards would copy all of it.
  Text report = fromUtf8(reportText(analysis), 4096);
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
