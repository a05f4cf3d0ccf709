#pragma once
// Completion: the names visible at the position (its definition's own names,
// or the main program's, then the global names, then the definitions), then
// the keywords; each name once, whatever its case.
#include <string>
#include <vector>

#include "analysis/keyword_table.h"
#include "language/program.h"

namespace vennik::language {

enum class CompletionKind { Variable, Function, Keyword };

struct CompletionItem {
  std::string label;
  CompletionKind kind = CompletionKind::Variable;
  std::string detail;  // where the name lives, a definition's kind, or "keyword"
};

// In the order to offer them.
std::vector<CompletionItem> completion(const Program& program, DocumentId document, Position p,
                                       const KeywordTable& keywords);

}  // namespace vennik::language
