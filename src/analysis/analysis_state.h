#pragma once
// Everything one analysis pass leaves behind for the report and the commands
// that run after it (crunch, copy, Library).
#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/line_store.h"
#include "analysis/variable_tables.h"

namespace vennik {

// A millisecond counter; any monotonic clock will do.
using MillisecondClock = std::function<int64_t()>;
MillisecondClock steadyMillisecondClock();

struct DefinitionCounts {
  int32_t functions = 0;
  int32_t subroutines = 0;
  int32_t cfunctions = 0;
  int32_t csubs = 0;
  int32_t fonts = 0;
  int32_t total() const { return functions + subroutines + cfunctions + csubs + fonts; }
};

struct AnalysisState {
  LineStore lineStore;
  VariableTables tables;
  DefinitionCounts counts;
  int32_t nameWidth = 8;
  int64_t startMs = 0;
  int64_t elapsedMs = 0;
  // Row numbers in listing order, as the report sorted them.
  std::vector<int32_t> listingOrder;
  // The crunch output; every analysis empties it.
  Text crunchedText;
  int32_t crunchedLength = 0;
  bool analysed = false;  // a pass has run at least once
};

}  // namespace vennik
