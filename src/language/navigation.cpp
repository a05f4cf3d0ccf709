#include "language/navigation.h"

#include <algorithm>

namespace vennik::language {

namespace {
std::vector<Location> locations(const Program& program, const std::vector<Occurrence>& places) {
  std::vector<Location> out;
  out.reserve(places.size());
  for (const Occurrence& o : places) out.push_back(program.locate(o.range()));
  return out;
}
}  // namespace

std::vector<Location> definition(const Program& program, DocumentId document, Position p) {
  const Occurrence* at = program.nameAt(document, p);
  if (!at) return {};
  const NameLookup& names = program.names();
  return locations(program, names.declarationsOf(names.targetOf(at->row)));
}

std::optional<std::vector<Location>> references(const Program& program, DocumentId document, Position p,
                                                bool includeDeclaration) {
  const Occurrence* at = program.nameAt(document, p);
  if (!at) return std::nullopt;
  const NameLookup& names = program.names();
  const Target target = names.targetOf(at->row);
  std::vector<Occurrence> places = names.occurrencesOf(target);
  if (!includeDeclaration) {
    const auto declared = names.declarationsOf(target);
    std::erase_if(places, [&](const Occurrence& o) {
      return std::any_of(declared.begin(), declared.end(), [&](const Occurrence& d) { return d.start == o.start; });
    });
  }
  return locations(program, places);
}

}  // namespace vennik::language
