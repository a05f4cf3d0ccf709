#pragma once
// The analysis as JSON, for editors and scripts.
#include <nlohmann/json.hpp>

#include "analysis/analysis_state.h"

namespace vennik {

// Call after runAnalysis: reads the tables as the report left them.
nlohmann::json analysisToJson(const AnalysisState& analysis, TextView fileName);

}  // namespace vennik
