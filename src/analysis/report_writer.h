#pragma once
// Turns the tables of an analysis pass into the report in the text window.
#include "analysis/analysis_state.h"

namespace vennik {

struct ShellState;

// Rewrites definition rows and kind marks, sorts the rows, formats the
// listing and appends the report items to the text window.
void writeReport(ShellState& shell, AnalysisState& analysis, const MillisecondClock& clock);

// One listing line (or several, wrapped), each starting with LF.
Text formatListingRow(TextView key, TextView kind, TextView lineList, int32_t nameWidth);

}  // namespace vennik
