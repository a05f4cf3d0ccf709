#pragma once
// The source cut into lines: entry k is line k+1, trimmed of blanks. The lines
// are views into one buffer that the store owns.
#include <cstdint>
#include <vector>

#include "analysis/text_util.h"

namespace vennik {

struct LineStore {
  std::vector<TextView> lines;
  int32_t sourceLength = 0;  // characters of the source text, CR included

  LineStore() = default;
  LineStore(const LineStore& other) { *this = other; }
  LineStore& operator=(const LineStore& other);
  LineStore(LineStore&&) noexcept = default;
  LineStore& operator=(LineStore&&) noexcept = default;

  int32_t lineCount() const { return static_cast<int32_t>(lines.size()); }

  // The text with CR removed that `lines` point into. A vector keeps its
  // storage when moved, so the views stay valid.
  std::vector<char16_t> buffer;
};

// Empties and refills the store from the source text; returns the line count
// (at least 1). The "terminalTemp.txt" rule drops the first line of a file
// with that exact name.
int32_t buildLineStore(LineStore& store, TextView sourceText, TextView currentFileName);

}  // namespace vennik
