#pragma once
// Folding: the blocks of a document (SUB, FUNCTION, CSUB and CFUNCTION
// bodies, DefineFont, DO/LOOP, FOR/NEXT, WHILE/WEND, an IF whose THEN ends
// its line, SELECT CASE) and runs of comment lines. A block folds from its
// opening line to the line before its closing one, so the closing line
// stays in sight; a comment run folds whole. Each document is read on its
// own: a block opened in one file is closed in that file.
#include <cstdint>
#include <vector>

#include "language/program.h"

namespace vennik::language {

struct FoldingRange {
  int32_t startLine = 0;  // lines of the document, from 1
  int32_t endLine = 0;    // after startLine
  bool comment = false;
};

// In order of their start; any two are apart or one holds the other.
std::vector<FoldingRange> foldingRanges(const Program& program, DocumentId document);

}  // namespace vennik::language
