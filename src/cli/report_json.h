#pragma once
// The analysis as JSON, for editors and scripts (schema 1, described in
// docs/json-schema.md).
#include "analysis/analysis.h"
#include "analysis/report_text.h"
#include "language/board_findings.h"

namespace vennik::cli {

// Writes the JSON document in pieces: everything but the rows first, then
// one row per line, so a huge analysis is never held as JSON whole.
// Read as the firmware reads it, the document holds the findings too.
void writeAnalysisJson(const Analysis& analysis, const TextSink& sink, const language::BoardContext& board = {});

}  // namespace vennik::cli
