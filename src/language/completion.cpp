#include "language/completion.h"

#include <algorithm>
#include <unordered_set>

#include "analysis/name_characters.h"
#include "base/utf8_text.h"
#include "language/line_words.h"
#include "language/name_roles.h"
#include "language/scope_words.h"

namespace vennik::language {

namespace {

struct ItemList {
  std::string prefix;  // folded
  std::vector<CompletionItem> items;
  std::unordered_set<std::string> seen;

  void add(std::string_view label, CompletionKind kind, std::string_view detail) {
    if (label.empty()) return;
    std::string folded = foldCase(label);
    if (!folded.starts_with(prefix) || !seen.insert(std::move(folded)).second) return;
    items.push_back({std::string(label), kind, std::string(detail)});
  }
};

// Whether the position is inside a string or a comment of its line.
bool inTextOrComment(std::string_view line, uint32_t column, bool remIsComment) {
  bool inside = false;
  forEachPiece(line, remIsComment, [&](const LinePiece& piece) {
    if (piece.kind == LinePiece::Kind::Comment) inside = inside || column > piece.begin;
    if (piece.kind == LinePiece::Kind::String) {
      const bool closed = piece.end - piece.begin >= 2 && line[piece.end - 1] == '"';
      inside = inside || (column > piece.begin && (column < piece.end || !closed));
    }
  });
  return inside;
}

CompletionKind kindOf(DefinitionKind kind) {
  return kind == DefinitionKind::Sub || kind == DefinitionKind::CSub ? CompletionKind::Sub : CompletionKind::Function;
}

}  // namespace

Range typedWord(const Program& program, DocumentId document, Position p) {
  const std::string_view line = program.lineText(document, p.line);
  auto begin = static_cast<size_t>(std::clamp(p.column, 0, static_cast<int32_t>(line.size())));
  const auto end = static_cast<int32_t>(begin);
  while (begin > 0 && isNameChar(line[begin - 1])) --begin;
  return {{p.line, static_cast<int32_t>(begin)}, {p.line, end}};
}

std::vector<CompletionItem> completion(const Program& program, DocumentId document, Position p,
                                       const KeywordTable& keywords) {
  const Analysis& a = program.analysis();
  const NameLookup& names = program.names();
  const Range word = typedWord(program, document, p);
  const std::string_view line = program.lineText(document, p.line);
  if (inTextOrComment(line, static_cast<uint32_t>(word.end.column), a.reading() == Reading::Firmware)) return {};

  int32_t scope = Analysis::kMainScope;
  // The rows that stand only where the word is being typed.
  std::unordered_set<int32_t> onlyHere;
  if (auto at = program.inAnalysis(document, word.start)) {
    scope = a.scopeAtLine(at->line);
    for (const Occurrence& o : names.onLine(at->line)) {
      if (o.start.column != at->column) continue;
      const auto places = names.rowOccurrences(o.row);
      if (std::all_of(places.begin(), places.end(), [&](const Occurrence& x) { return x.start == o.start; })) {
        onlyHere.insert(o.row);
      }
    }
  }

  ItemList list;
  list.prefix = foldCase(line.substr(static_cast<size_t>(word.start.column),
                                     static_cast<size_t>(word.end.column - word.start.column)));
  NameRoles roles(names);
  auto addRows = [&](int32_t wanted) {
    const std::string detail = scopeLabelFromInside(a, wanted);
    for (int32_t r : a.listingOrder()) {
      const RowView row = a.row(r);
      if (row.scope != wanted || row.definitionRow || row.kind == RowKind::Definition || onlyHere.count(r)) continue;
      CompletionKind kind = CompletionKind::Variable;
      const NameRole role = roles.of(r).role;
      if (role == NameRole::Label) kind = CompletionKind::Label;
      else if (role == NameRole::Constant) kind = CompletionKind::Constant;
      list.add(row.name, kind, detail);
    }
  };
  addRows(scope);
  addRows(Analysis::kGlobalScope);
  for (const Definition& d : a.definitions()) {
    if (d.kind != DefinitionKind::Font) list.add(d.name, kindOf(d.kind), definitionKindWord(d.kind));
  }
  for (const std::string& keyword : keywords.words()) list.add(keyword, CompletionKind::Keyword, "keyword");
  return std::move(list.items);
}

}  // namespace vennik::language
