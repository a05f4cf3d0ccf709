#pragma once
// Go to definition and find references.
#include <optional>
#include <vector>

#include "language/program.h"

namespace vennik::language {

// Where the name at the position is declared: a call of a SUB or FUNCTION
// goes to its headers, any other name to the place where the analysis
// created its row, in the scope it resolves to. Empty when no name stands
// there.
std::vector<Location> definition(const Program& program, DocumentId document, Position p);

// Every place of the name at the position, in source order: its row's; for
// a SUB or FUNCTION every call in every scope and its headers. Without the
// declaration, the headers (or the row's first place) are left out. Nothing
// when no name stands there.
std::optional<std::vector<Location>> references(const Program& program, DocumentId document, Position p,
                                                bool includeDeclaration);

}  // namespace vennik::language
