#pragma once
// The source cut into lines: entry k is line k+1, trimmed of blanks.
#include <cstdint>
#include <vector>

#include "analysis/text_util.h"

namespace vennik {

struct LineStore {
  std::vector<Text> lines;
  int32_t sourceLength = 0;  // characters of the source text, CR included

  int32_t lineCount() const { return static_cast<int32_t>(lines.size()); }
};

// Empties and refills the store from the source text; returns the line count
// (at least 1). The "terminalTemp.txt" rule drops the first line of a file
// with that exact name.
int32_t buildLineStore(LineStore& store, TextView sourceText, TextView currentFileName);

}  // namespace vennik
