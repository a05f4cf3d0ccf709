#pragma once
// Completion: the names visible at the position that begin with the word
// being typed (its definition's own names, or the main program's, then the
// global names, then the definitions), then the keywords that do; each name
// once, whatever its case. The word being typed is no name to offer, unless
// the program uses it elsewhere; in a string or a comment nothing is offered.
#include <string>
#include <vector>

#include "analysis/keyword_table.h"
#include "language/program.h"

namespace vennik::language {

enum class CompletionKind { Variable, Function, Keyword, Sub, Label, Constant };

struct CompletionItem {
  std::string label;
  CompletionKind kind = CompletionKind::Variable;
  std::string detail;  // where the name lives, a definition's kind, or "keyword"
};

// In the order to offer them.
std::vector<CompletionItem> completion(const Program& program, DocumentId document, Position p,
                                       const KeywordTable& keywords);

// The part of the word being typed before the position, which a chosen item
// replaces; an empty range at the position when none is.
Range typedWord(const Program& program, DocumentId document, Position p);

}  // namespace vennik::language
