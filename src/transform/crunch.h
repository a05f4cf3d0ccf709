#pragma once
// Crunch: a compact copy of the analysed program without comments and blank
// lines, and the savings it gives.
#include <cstdint>

#include "analysis/analysis_state.h"

namespace vennik {

struct ShellState;

// The command behind the Crunch button: rebuilds the crunch output from the
// last analysis's line store, puts it into the text window and the savings
// message into the file label.
void crunch(ShellState& shell, AnalysisState& analysis);

// One line's crunched form (without line end); empty for a comment line.
Text crunchLine(TextView line);

// Characters saved if every name longer than 3 characters (definitions and
// "Fn" names aside) were 3 characters long, once per line that refers to it.
int64_t potentialFurtherSaving(const VariableTables& tables);

// "File reduced from N to M bytes,(P%). Potential further F bytes"
Text savingsMessage(int64_t sourceLength, int64_t crunchedLength, int64_t further);

}  // namespace vennik
