#include "language/hover.h"

#include <sstream>

#include "language/scope_words.h"

namespace vennik::language {

namespace {
std::string plural(int32_t n, std::string_view one) {
  return std::to_string(n) + " " + std::string(one) + (n == 1 ? "" : "s");
}
}  // namespace

std::optional<HoverText> hover(const Program& program, DocumentId document, Position p, const LibraryNames& library) {
  const Occurrence* at = program.nameAt(document, p);
  if (!at) return std::nullopt;
  const Analysis& a = program.analysis();
  const NameLookup& names = program.names();
  const Target target = names.targetOf(at->row);

  std::string name, scope, kind;
  int32_t lines = 0;
  if (target.kind == Target::Kind::Callable) {
    const Definition* d = firstDefinition(a, target.scope);
    name = std::string(a.scopeName(target.scope));
    kind = definitionKindOf(a, target.scope);
    scope = d ? "its own, lines " + std::to_string(d->line) + "–" + std::to_string(d->endLine) : "its own";
    lines = names.lineCountOf(target);
  } else {
    const RowView row = a.row(target.row);
    name = std::string(row.name);
    kind = std::string(kindWord(row.kind));
    scope = scopeLabel(a, row.scope);
    lines = static_cast<int32_t>(a.listedLines(target.row).size());
  }

  std::ostringstream md;
  md << "**" << name << "**\n\n"
     << "- scope: " << scope << "\n"
     << "- kind: " << kind << "\n"
     << "- used on " << plural(lines, "line") << "\n"
     << "- in the Library: " << (library.contains(name) ? "yes" : "no");
  return HoverText{md.str(), program.locate(at->range())};
}

}  // namespace vennik::language
