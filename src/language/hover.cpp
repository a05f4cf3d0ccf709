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
    scope = "its own";
    if (d) {
      // In the lines of the file that holds it, which may be an included one.
      const Location where = program.locate({{d->line, 0}, {d->endLine, 0}});
      scope += ", lines " + std::to_string(where.range.start.line) + "–" + std::to_string(where.range.end.line);
      if (where.document != document) {
        const std::string& name = program.documentName(where.document);
        scope += " of " + name.substr(name.rfind('/') + 1);
      }
    }
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
  // An included file is read within a program: which one the answers are of.
  if (document != 0) {
    const std::string& main = program.documentName(0);
    md << "\n- in the program: " << main.substr(main.rfind('/') + 1);
  }
  return HoverText{md.str(), program.locate(at->range())};
}

}  // namespace vennik::language
