#pragma once
// The desktop program's way of running an analysis: the shell's source,
// file name, variable factor and Library in; the analysis kept for the
// commands that follow, and its report appended to the text window.
#include <optional>

#include "analysis/analysis.h"

namespace vennik {

struct ShellState;

AnalysisOptions analysisOptions(const ShellState& shell);

void analyseIntoWindow(ShellState& shell, std::optional<Analysis>& last, const KeywordTable& keywords,
                       const MillisecondClock& clock);

}  // namespace vennik
