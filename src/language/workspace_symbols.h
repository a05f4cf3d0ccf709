#pragma once
// Workspace symbols: the SUBs, FUNCTIONs, labels, global variables and
// constants of every program given whose name holds the query's letters in
// order (any case), those that begin with it first. A name of a file that
// several programs include is listed once.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "language/program.h"
#include "language/symbols.h"

namespace vennik::language {

struct WorkspaceSymbol {
  const Program* program = nullptr;  // whose documents the location names
  std::string name;
  SymbolKind kind = SymbolKind::Variable;
  std::string container;  // the file it stands in
  Location location;      // where it is declared
};

// At most `limit` symbols, the best matches first.
std::vector<WorkspaceSymbol> workspaceSymbols(const std::vector<const Program*>& programs, std::string_view query,
                                              size_t limit);

}  // namespace vennik::language
