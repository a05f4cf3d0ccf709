#pragma once
// The quick fix for a name used without a declaration under OPTION
// EXPLICIT, where the board would stop: declare it. A name of the main
// program gets a DIM at the top of the program, right after the OPTION
// EXPLICIT line and the OPTION lines that follow it; a name of a SUB or
// FUNCTION gets a LOCAL right after its header. A name used with an index in brackets is an array, whose
// size no fix can know, and gets none.
#include <string>
#include <vector>

#include "language/program.h"

namespace vennik::language {

struct DeclareFix {
  std::string title;
  std::string name;    // the name declared, as first written
  Location insertAt;   // an empty range: where the declaration goes
  std::string text;    // what is inserted there, line end included
};

// One fix for each undeclared name with a place in `range` of the document.
std::vector<DeclareFix> declareFixes(const Program& program, DocumentId document, const Range& range);

}  // namespace vennik::language
