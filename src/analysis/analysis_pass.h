#pragma once
// The analysis pass: splits the source into lines, walks them three times to
// fill the variable tables, and appends the report to the text window.
#include "analysis/analysis_state.h"
#include "analysis/keyword_table.h"

namespace vennik {

struct ShellState;

// Reads the source text, current file name, variable factor and Library from
// the shell state; appends the report to its text window.
void runAnalysis(ShellState& shell, AnalysisState& analysis, const KeywordTable& keywords,
                 const MillisecondClock& clock);

// Rows the table is sized for: trunc(lines x factor), 0 for a factor that is
// negative or not a number.
int32_t tableCapacityFor(int32_t lineCount, float factor);

}  // namespace vennik
