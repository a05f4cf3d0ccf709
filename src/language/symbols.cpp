#include "language/symbols.h"

#include <algorithm>
#include <optional>

#include "analysis/definition_lines.h"
#include "analysis/name_characters.h"

namespace vennik::language {

namespace {

bool startsWithWord(std::string_view line, std::string_view word) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  if (line.size() <= word.size()) return false;
  return startsWithIgnoringCase(line, word) && !isNameChar(line[word.size()]);
}

bool inside(const Range& inner, const Range& outer) { return outer.start <= inner.start && inner.end <= outer.end; }

struct SymbolMaker {
  const Program& program;
  const Analysis& a = program.analysis();
  const NameLookup& names = program.names();

  // A row at the place the analysis created it.
  std::optional<Symbol> rowSymbol(int32_t r, SymbolKind kind) const {
    const auto first = names.declarationsOf({Target::Kind::Row, r, -1});
    if (first.empty()) return std::nullopt;
    const Range range = first.front().range();
    const RowView row = a.row(r);
    if (kind == SymbolKind::Variable && startsWithWord(a.rawLine(range.start.line), "const")) {
      kind = SymbolKind::Constant;
    }
    return Symbol{std::string(row.name), std::string(kindWord(row.kind)), kind, range, range, {}};
  }

  Symbol definitionSymbol(const Definition& d, std::vector<Symbol> children) const {
    const int32_t last = std::clamp(d.endLine, d.line, a.lineCount());
    const Range range{program.lineTextRange(d.line).start, program.lineTextRange(last).end};
    Range selection = program.lineTextRange(d.line);
    if (!d.name.empty() && d.nameAt.line == d.line) {
      selection = {names.positionOf(d.nameAt), {}};
      selection.end = {d.line, selection.start.column + static_cast<int32_t>(d.name.size())};
      if (!inside(selection, range)) selection = program.lineTextRange(d.line);
    }
    std::string name(d.name);
    if (name.empty()) name = "(unnamed " + std::string(definitionKindWord(d.kind)) + ")";
    Symbol symbol{name, std::string(definitionKindWord(d.kind)),
                  d.kind == DefinitionKind::Font ? SymbolKind::Font : SymbolKind::Function, range, selection, {}};
    for (Symbol& c : children) {
      if (inside(c.range, range)) symbol.children.push_back(std::move(c));
    }
    return symbol;
  }
};

// Moves a symbol made in the analysis's lines to its document's; false when
// it stands in another document.
bool placeInDocument(Symbol& s, const Program& program, DocumentId document) {
  const Location range = program.locate(s.range);
  if (range.document != document) return false;
  s.range = range.range;
  s.selection = program.locate(s.selection).range;
  std::erase_if(s.children, [&](Symbol& c) { return !placeInDocument(c, program, document); });
  return true;
}

}  // namespace

std::vector<Symbol> documentSymbols(const Program& program, DocumentId document) {
  const Analysis& a = program.analysis();
  const SymbolMaker make{program};

  // Parameters, locals and labels by scope.
  std::vector<std::vector<Symbol>> byScope(static_cast<size_t>(a.scopeCount()));
  std::vector<Symbol> top;
  for (int32_t r : a.listingOrder()) {
    const RowView row = a.row(r);
    if (row.definitionRow || row.kind == RowKind::Definition) continue;
    std::optional<SymbolKind> kind;
    if (row.kind == RowKind::Label) kind = SymbolKind::Label;
    else if (row.scope == Analysis::kGlobalScope || row.kind == RowKind::Declared) kind = SymbolKind::Variable;
    if (!kind) continue;
    auto symbol = make.rowSymbol(r, *kind);
    if (!symbol) continue;
    if (row.scope == Analysis::kGlobalScope || row.scope == Analysis::kMainScope) top.push_back(std::move(*symbol));
    else byScope[static_cast<size_t>(row.scope)].push_back(std::move(*symbol));
  }

  std::vector<bool> given(byScope.size(), false);
  for (const Definition& d : a.definitions()) {
    std::vector<Symbol> children;
    // A name defined twice shows its names under the first definition.
    if (d.scope >= 0 && !given[static_cast<size_t>(d.scope)]) {
      children = std::move(byScope[static_cast<size_t>(d.scope)]);
      given[static_cast<size_t>(d.scope)] = true;
    }
    top.push_back(make.definitionSymbol(d, std::move(children)));
  }
  // Source order, as an outline shows it.
  std::stable_sort(top.begin(), top.end(),
                   [](const Symbol& x, const Symbol& y) { return x.range.start.line < y.range.start.line; });
  std::erase_if(top, [&](Symbol& s) { return !placeInDocument(s, program, document); });
  return top;
}

}  // namespace vennik::language
