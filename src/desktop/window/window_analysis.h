#pragma once
// The desktop program's way of running an analysis: the shell's source and
// the options its settings give in; the analysis kept for the commands that
// follow, and its report appended to the text window.
//
// The work in the middle reads nothing of the shell, so that a large source
// can be analysed on a worker thread while the window stays responsive: a
// request takes what the analysis reads, the outcome holds what it gives.
#include <optional>

#include "analysis/analysis.h"
#include "desktop/window/window_text.h"

namespace vennik {

struct ShellState;

struct AnalysisRequest {
  SharedSource source;  // the shell's source (UTF-8), shared, not copied
  AnalysisOptions options;
};
AnalysisRequest analysisRequest(const ShellState& shell);

struct AnalysisOutcome {
  Analysis analysis;
  WindowText report;
};
// Lets go of the request's source once the analysis holds it.
AnalysisOutcome runAnalysisRequest(AnalysisRequest&& request, const KeywordTable& keywords,
                                   const MillisecondClock& clock);

// Keeps the analysis and appends its report to the text window.
void showAnalysisOutcome(ShellState& shell, std::optional<Analysis>& last, AnalysisOutcome&& outcome);

// The three steps at once.
void analyseIntoWindow(ShellState& shell, std::optional<Analysis>& last, const KeywordTable& keywords,
                       const MillisecondClock& clock);

}  // namespace vennik
