#pragma once
// Rename: every place of the name's row (for a SUB or FUNCTION, its headers
// and every call), or a refusal that says why.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/keyword_table.h"
#include "language/program.h"

namespace vennik::language {

struct RenameStart {
  Location location;  // the name at the position
  std::string text;   // as written there
};
// The name a rename at the position would change, or nothing.
std::optional<RenameStart> prepareRename(const Program& program, DocumentId document, Position p);

struct RenameOutcome {
  std::vector<Location> places;  // where the new name goes, in source order, each once
  std::string refusal;           // why not, when the rename is refused
};
RenameOutcome rename(const Program& program, DocumentId document, Position p, std::string_view newName,
                     const KeywordTable& keywords);

}  // namespace vennik::language
