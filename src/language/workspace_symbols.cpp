#include "language/workspace_symbols.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "base/utf8_text.h"
#include "language/name_roles.h"

namespace vennik::language {

namespace {

// How well a folded name matches a folded query: 0 the same, 1 it begins
// with the query, 2 holds it, 3 holds its letters in order, 4 not at all.
int matchRank(std::string_view name, std::string_view query) {
  if (name == query) return 0;
  if (name.starts_with(query)) return 1;
  if (name.find(query) != std::string_view::npos) return 2;
  size_t k = 0;
  for (char c : name) {
    if (k < query.size() && c == query[k]) ++k;
  }
  return k == query.size() ? 3 : 4;
}

struct Candidate {
  int rank = 0;
  std::string folded;
  WorkspaceSymbol symbol;
};

}  // namespace

std::vector<WorkspaceSymbol> workspaceSymbols(const std::vector<const Program*>& programs, std::string_view query,
                                              size_t limit) {
  const std::string wanted = foldCase(query);
  std::vector<Candidate> found;
  std::set<std::tuple<std::string, Position>> seen;
  for (const Program* program : programs) {
    const Analysis& a = program->analysis();
    const NameLookup& names = program->names();
    auto consider = [&](std::string_view name, SymbolKind kind, const Occurrence& declared) {
      std::string folded = foldCase(name);
      const int rank = matchRank(folded, wanted);
      if (rank > 3) return;
      const Location at = program->locate(declared.range());
      const std::string& document = program->documentName(at.document);
      if (!seen.emplace(document, at.range.start).second) return;
      found.push_back({rank, std::move(folded),
                       {program, std::string(name), kind, document.substr(document.rfind('/') + 1), at}});
    };
    for (const Definition& d : a.definitions()) {
      if (d.scope < 0 || d.name.empty()) continue;
      const auto headers = names.declarationsOf({Target::Kind::Callable, -1, d.scope});
      for (const Occurrence& h : headers) {
        if (h.start.line == d.line) consider(d.name, SymbolKind::Function, h);
      }
    }
    NameRoles roles(names);
    for (int32_t r = 0; r < a.rowCount(); ++r) {
      const RowView row = a.row(r);
      if (row.definitionRow || row.references.empty()) continue;
      const NameFacts facts = roles.of(r);
      SymbolKind kind;
      if (facts.role == NameRole::Label) kind = SymbolKind::Label;
      else if (row.scope != Analysis::kGlobalScope || facts.role == NameRole::Callable) continue;
      else kind = facts.role == NameRole::Constant ? SymbolKind::Constant : SymbolKind::Variable;
      const auto declared = names.declarationsOf({Target::Kind::Row, r, -1});
      if (!declared.empty()) consider(row.name, kind, declared.front());
    }
  }
  std::sort(found.begin(), found.end(), [](const Candidate& x, const Candidate& y) {
    return std::tie(x.rank, x.folded, x.symbol.container, x.symbol.location.range.start.line) <
           std::tie(y.rank, y.folded, y.symbol.container, y.symbol.location.range.start.line);
  });
  std::vector<WorkspaceSymbol> out;
  for (size_t i = 0; i < found.size() && out.size() < limit; ++i) out.push_back(std::move(found[i].symbol));
  return out;
}

}  // namespace vennik::language
