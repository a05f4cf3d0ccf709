#include "hover.h"

#include <sstream>

#include "analysis/library_names.h"
#include "params.h"
#include "places.h"

namespace vennik::lsp {

namespace {

const Definition* firstDefinition(const Analysis& a, int32_t scope) {
  for (const Definition& d : a.definitions()) {
    if (d.scope == scope) return &d;
  }
  return nullptr;
}

std::string scopeInWords(const Analysis& a, int32_t scope) {
  if (scope == Analysis::kGlobalScope) return "global";
  if (scope == Analysis::kMainScope) return "main program";
  const Definition* d = firstDefinition(a, scope);
  std::string kind = d ? std::string(definitionKindWord(d->kind)) : "definition";
  return kind + " " + std::string(a.scopeName(scope));
}

std::string plural(int32_t n, std::string_view one) {
  return std::to_string(n) + " " + std::string(one) + (n == 1 ? "" : "s");
}

}  // namespace

json hover(const Workspace& ws, const json& params) {
  const NameAtPosition at = nameAtPosition(ws, params);
  if (!at.occurrence) return nullptr;
  const Analysis& a = at.analysed->analysis;
  const NameLookup& index = at.analysed->index;

  std::string name, scope, kind;
  int32_t lines = 0;
  if (at.target.kind == Target::Kind::Callable) {
    const Definition* d = firstDefinition(a, at.target.scope);
    name = std::string(a.scopeName(at.target.scope));
    kind = d ? std::string(definitionKindWord(d->kind)) : "definition";
    scope = d ? "its own, lines " + std::to_string(d->line) + "–" + std::to_string(d->endLine) : "its own";
    lines = index.lineCountOf(at.target);
  } else {
    const RowView row = a.row(at.target.row);
    name = std::string(row.name);
    kind = std::string(kindWord(row.kind));
    scope = scopeInWords(a, row.scope);
    lines = static_cast<int32_t>(a.listedLines(at.target.row).size());
  }
  const bool library = LibraryNames(ws.config().options.libraryList).contains(name);

  std::ostringstream md;
  md << "**" << name << "**\n\n"
     << "- scope: " << scope << "\n"
     << "- kind: " << kind << "\n"
     << "- used on " << plural(lines, "line") << "\n"
     << "- in the Library: " << (library ? "yes" : "no");
  return json{{"contents", {{"kind", "markdown"}, {"value", md.str()}}},
              {"range", toJson(rangeOf(a, *at.occurrence, ws.encoding()))}};
}

}  // namespace vennik::lsp
