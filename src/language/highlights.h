#pragma once
// Document highlight: the places of the name at the cursor within the
// document, each told as written (declared, assigned, read by INPUT or
// READ, a FOR's variable) or read.
#include <vector>

#include "language/program.h"

namespace vennik::language {

enum class HighlightKind { Read, Write };

struct Highlight {
  Range range;
  HighlightKind kind = HighlightKind::Read;
};

// In document order; empty when no name stands at the position.
std::vector<Highlight> documentHighlights(const Program& program, DocumentId document, Position p);

}  // namespace vennik::language
