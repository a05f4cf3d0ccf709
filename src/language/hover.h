#pragma once
// Hover: the name's scope, its kind in words, how many lines use it, and
// whether it is in the Library.
#include <optional>
#include <string>

#include "analysis/library_names.h"
#include "language/program.h"

namespace vennik::language {

struct HoverText {
  std::string markdown;
  Location location;  // the name hovered over
};
std::optional<HoverText> hover(const Program& program, DocumentId document, Position p, const LibraryNames& library);

}  // namespace vennik::language
