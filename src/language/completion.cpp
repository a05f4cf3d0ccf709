#include "language/completion.h"

#include <unordered_set>

#include "base/utf8_text.h"
#include "language/scope_words.h"

namespace vennik::language {

namespace {

struct ItemList {
  std::vector<CompletionItem> items;
  std::unordered_set<std::string> seen;

  void add(std::string_view label, CompletionKind kind, std::string_view detail) {
    if (label.empty() || !seen.insert(foldCase(label)).second) return;
    items.push_back({std::string(label), kind, std::string(detail)});
  }
};

}  // namespace

std::vector<CompletionItem> completion(const Program& program, DocumentId document, Position p,
                                       const KeywordTable& keywords) {
  const Analysis& a = program.analysis();
  int32_t scope = Analysis::kMainScope;
  if (auto at = program.inAnalysis(document, p)) scope = a.scopeAtLine(at->line);

  ItemList list;
  auto addRows = [&](int32_t wanted) {
    const std::string detail = scopeLabelFromInside(a, wanted);
    for (int32_t r : a.listingOrder()) {
      const RowView row = a.row(r);
      if (row.scope != wanted || row.definitionRow || row.kind == RowKind::Definition) continue;
      list.add(row.name, CompletionKind::Variable, detail);
    }
  };
  addRows(scope);
  addRows(Analysis::kGlobalScope);
  for (const Definition& d : a.definitions()) {
    if (d.kind != DefinitionKind::Font) list.add(d.name, CompletionKind::Function, definitionKindWord(d.kind));
  }
  for (const std::string& word : keywords.words()) list.add(word, CompletionKind::Keyword, "keyword");
  return std::move(list.items);
}

}  // namespace vennik::language
