#include "language/semantic_tokens.h"

#include <algorithm>

#include "language/line_words.h"
#include "language/name_roles.h"

namespace vennik::language {

namespace {

TokenType typeOf(NameRole role) {
  switch (role) {
    case NameRole::Variable: return TokenType::Variable;
    case NameRole::Parameter: return TokenType::Parameter;
    case NameRole::Constant: return TokenType::Constant;
    case NameRole::Callable: return TokenType::Function;
    case NameRole::Label: return TokenType::Label;
  }
  return TokenType::Variable;
}

bool isKeyword(const KeywordTable& keywords, std::string_view word) {
  char folded[64];
  if (word.size() >= sizeof folded) return false;
  foldAsciiInto(word.data(), word.size(), folded);
  const std::string_view lower(folded, word.size());
  const WordInfo* info = keywords.find(lower, wordHash(lower));
  return info != nullptr && info->keyword;
}

}  // namespace

std::vector<SemanticToken> semanticTokens(const Program& program, DocumentId document, const KeywordTable& keywords) {
  const Analysis& a = program.analysis();
  const NameLookup& names = program.names();
  NameRoles roles(names);
  const bool firmware = a.reading() == Reading::Firmware;

  // Where each SUB and FUNCTION header names it.
  std::vector<Position> headers;
  for (const Definition& d : a.definitions()) {
    if (d.scope >= 0 && !d.name.empty() && d.nameAt.line >= 1) headers.push_back(names.positionOf(d.nameAt));
  }
  std::sort(headers.begin(), headers.end());

  std::vector<SemanticToken> out;
  const int32_t lines = program.documentLineCount(document);
  for (int32_t n = 1; n <= lines; ++n) {
    const auto at = program.inAnalysis(document, {n, 0});
    if (!at) continue;
    const int32_t line = at->line;
    // A byte-order mark the analysis left out moves the first line.
    const int32_t shift = n == 1 ? program.locate({{line, 0}, {line, 0}}).range.start.column : 0;
    const size_t first = out.size();

    const std::span<const Occurrence> places = names.onLine(line);
    for (size_t i = 0; i < places.size(); ++i) {
      const Occurrence& o = places[i];
      // A place two rows share is the row of the line's own scope, which
      // comes first.
      if (i > 0 && places[i - 1].start == o.start) continue;
      const NameFacts facts = roles.of(o.row);
      uint8_t modifiers = 0;
      if (facts.global) modifiers |= kGlobal;
      if (facts.undeclared) {
        modifiers |= kUndeclared;
      } else if (facts.role == NameRole::Label) {
        if (definesLabel(a.rawLine(line), o)) modifiers |= kDeclaration;
      } else if (facts.role == NameRole::Callable) {
        if (std::binary_search(headers.begin(), headers.end(), o.start)) modifiers |= kDeclaration;
      } else if (names.positionOf(a.row(o.row).references.front()) == o.start) {
        modifiers |= kDeclaration;
      }
      out.push_back({{n, o.start.column + shift}, std::max(o.length, 1), typeOf(facts.role), modifiers});
    }

    // The keywords, between the names.
    const std::string_view raw = a.rawLine(line);
    size_t next = 0;  // the first place not before the piece
    bool unordered = false;
    forEachPiece(raw, firmware, [&](const LinePiece& piece) {
      if (piece.kind != LinePiece::Kind::Word) return;
      while (next < places.size() && places[next].start.column < static_cast<int32_t>(piece.begin)) ++next;
      if (next < places.size() && places[next].start.column < static_cast<int32_t>(piece.end)) return;
      if (!isKeyword(keywords, piece.in(raw))) return;
      unordered = unordered || next < places.size();
      out.push_back({{n, static_cast<int32_t>(piece.begin) + shift}, static_cast<int32_t>(piece.end - piece.begin),
                     TokenType::Keyword, 0});
    });
    if (unordered) {
      std::sort(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(),
                [](const SemanticToken& x, const SemanticToken& y) { return x.start < y.start; });
    }
  }
  return out;
}

}  // namespace vennik::language
