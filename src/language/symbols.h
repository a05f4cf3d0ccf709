#pragma once
// Document symbols: definitions with their parameters and locals, labels,
// and the global names, in source order.
#include <string>
#include <vector>

#include "language/program.h"

namespace vennik::language {

enum class SymbolKind { Function, Font, Variable, Constant, Label };

struct Symbol {
  std::string name;
  std::string detail;  // a definition's kind, or a row's kind in words
  SymbolKind kind = SymbolKind::Variable;
  Range range;      // the whole definition, or the name
  Range selection;  // the name
  std::vector<Symbol> children;
};

// The symbols that stand in one document of the program.
std::vector<Symbol> documentSymbols(const Program& program, DocumentId document);

}  // namespace vennik::language
