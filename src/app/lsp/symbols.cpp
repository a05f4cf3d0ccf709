#include "symbols.h"

#include <algorithm>

#include "params.h"
#include "places.h"

namespace vennik::lsp {

namespace {

// SymbolKind values of the protocol.
constexpr int kFunction = 12;
constexpr int kVariable = 13;
constexpr int kConstant = 14;
constexpr int kKey = 20;
constexpr int kStruct = 23;

bool startsWithWord(std::string_view line, std::string_view word) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  if (line.size() <= word.size()) return false;
  return foldCase(line.substr(0, word.size())) == word && !isNameChar(line[word.size()]);
}

bool inside(const Range& inner, const Range& outer) {
  auto le = [](Position a, Position b) { return a.line < b.line || (a.line == b.line && a.character <= b.character); };
  return le(outer.start, inner.start) && le(inner.end, outer.end);
}

struct Symbol {
  Range range;
  json symbol;
};

struct SymbolMaker {
  const Analysis& a;
  const NameLookup& index;
  PositionEncoding encoding;

  // A row at the place the analysis created it.
  std::optional<Symbol> rowSymbol(int32_t r, int kind) const {
    const auto first = index.declarationsOf({Target::Kind::Row, r, -1});
    if (first.empty()) return std::nullopt;
    const Range range = rangeOf(a, first.front(), encoding);
    const RowView row = a.row(r);
    if (kind == kVariable && startsWithWord(a.rawLine(first.front().line), "const")) kind = kConstant;
    std::string detail(kindWord(row.kind));
    return Symbol{range, json{{"name", std::string(row.name)}, {"detail", detail}, {"kind", kind},
                              {"range", toJson(range)}, {"selectionRange", toJson(range)}}};
  }

  Symbol definitionSymbol(const Definition& d, std::vector<Symbol> children) const {
    const int32_t last = std::clamp(d.endLine, d.line, a.lineCount());
    const Range range{lineTextRange(a, d.line, encoding).start, lineTextRange(a, last, encoding).end};
    Range selection = lineTextRange(a, d.line, encoding);
    if (!d.name.empty() && d.nameAt.line == d.line) {
      selection = rangeOf(a, Occurrence{d.line, d.nameAt.column - 1, static_cast<int32_t>(d.name.size()), d.row},
                          encoding);
      if (!inside(selection, range)) selection = lineTextRange(a, d.line, encoding);
    }
    std::string name(d.name);
    if (name.empty()) name = "(unnamed " + std::string(definitionKindWord(d.kind)) + ")";
    json symbol{{"name", name},
                {"detail", std::string(definitionKindWord(d.kind))},
                {"kind", d.kind == DefinitionKind::Font ? kStruct : kFunction},
                {"range", toJson(range)},
                {"selectionRange", toJson(selection)}};
    json kids = json::array();
    for (Symbol& c : children) {
      if (inside(c.range, range)) kids.push_back(std::move(c.symbol));
    }
    if (!kids.empty()) symbol["children"] = std::move(kids);
    return {range, std::move(symbol)};
  }
};

}  // namespace

json documentSymbols(const Workspace& ws, const json& params) {
  const OpenDocument* doc = ws.find(documentUri(params));
  if (!doc) return nullptr;
  const Analysis& a = doc->analysed->analysis;
  const SymbolMaker make{a, doc->analysed->index, ws.encoding()};

  // Parameters, locals and labels by scope.
  std::vector<std::vector<Symbol>> byScope(static_cast<size_t>(a.scopeCount()));
  std::vector<Symbol> top;
  for (int32_t r : a.listingOrder()) {
    const RowView row = a.row(r);
    if (row.definitionRow || row.kind == RowKind::Definition) continue;
    int kind = 0;
    if (row.kind == RowKind::Label) kind = kKey;
    else if (row.scope == Analysis::kGlobalScope) kind = kVariable;
    else if (row.kind == RowKind::Declared) kind = kVariable;
    if (kind == 0) continue;
    auto symbol = make.rowSymbol(r, kind);
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
  json out = json::array();
  for (Symbol& s : top) out.push_back(std::move(s.symbol));
  return out;
}

}  // namespace vennik::lsp
