#include "completion.h"

#include <cstdio>
#include <unordered_set>

#include "params.h"
#include "places.h"

namespace vennik::lsp {

namespace {

// CompletionItemKind values of the protocol.
constexpr int kFunction = 3;
constexpr int kVariable = 6;
constexpr int kKeyword = 14;

struct ItemList {
  json items = json::array();
  std::unordered_set<std::string> seen;

  void add(std::string_view label, int kind, std::string_view detail) {
    if (label.empty() || !seen.insert(foldCase(label)).second) return;
    // The clients sort by sortText: keep this order, groups first.
    char order[16];
    std::snprintf(order, sizeof order, "%07zu", items.size());
    items.push_back(json{{"label", label}, {"kind", kind}, {"detail", detail}, {"sortText", order}});
  }
};

}  // namespace

json completion(const Workspace& ws, const json& params) {
  const std::string uri = documentUri(params);
  const Position p = positionFrom(member(params, "position", "params"), "params.position");
  const OpenDocument* doc = ws.find(uri);
  if (!doc) return nullptr;
  const Analysis& a = doc->analysed->analysis;

  int32_t scope = Analysis::kMainScope;
  if (auto place = placeOf(a, p, ws.encoding())) scope = a.scopeAtLine(place->line);

  ItemList list;
  auto addRows = [&](int32_t wanted, std::string_view detail) {
    for (int32_t r : a.listingOrder()) {
      const RowView row = a.row(r);
      if (row.scope != wanted || row.definitionRow || row.kind == RowKind::Definition) continue;
      list.add(row.name, kVariable, detail);
    }
  };
  if (scope != Analysis::kMainScope) addRows(scope, "local");
  else addRows(Analysis::kMainScope, "main program");
  addRows(Analysis::kGlobalScope, "global");
  for (const Definition& d : a.definitions()) {
    if (d.kind != DefinitionKind::Font) list.add(d.name, kFunction, definitionKindWord(d.kind));
  }
  for (const std::string& word : ws.config().keywords->words()) list.add(word, kKeyword, "keyword");
  return json{{"isIncomplete", false}, {"items", std::move(list.items)}};
}

}  // namespace vennik::lsp
