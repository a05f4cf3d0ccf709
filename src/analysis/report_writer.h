#pragma once
// Turns the tables of an analysis pass into the report in the text window.
#include "analysis/analysis_state.h"
#include "analysis/variable_tables.h"

namespace vennik {

struct ShellState;

// Rewrites definition rows and kind marks, sorts the rows, formats the
// listing and appends the report items to the text window.
void writeReport(ShellState& shell, AnalysisState& analysis, const MillisecondClock& clock);

// One listing line (or several, wrapped), each starting with LF.
Text formatListingRow(TextView key, TextView kind, TextView lineList, int32_t nameWidth);
// Appends `row` (a listing line with its leading LF) to `out`, wrapped: a
// row longer than 82 characters breaks after the first blank at or after
// position 77, continuing on a line indented by the name width plus 9.
void wrapListingRow(Text& out, TextView row, int32_t nameWidth);
// Length of the row once wrapped, without building it.
size_t wrappedLength(TextView row, int32_t nameWidth);
// The row unwrapped: LF, key and kind in their columns, the line list.
void appendRowText(Text& out, TextView key, TextView kind, const LineList& lines, int32_t nameWidth);
void appendListingRow(Text& out, Text& scratch, TextView key, TextView kind, const LineList& lines,
                      int32_t nameWidth);

}  // namespace vennik
