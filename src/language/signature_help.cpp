#include "language/signature_help.h"

#include "language/line_words.h"
#include "language/scope_words.h"

namespace vennik::language {

namespace {

bool isMark(std::string_view line, const LinePiece& p, char c) {
  return p.kind == LinePiece::Kind::Mark && line[p.begin] == c;
}

// The header's text and its parameters: inside the brackets after the
// name, or (a CSUB's types) everything after it.
Signature signatureOf(const Analysis& a, const NameLookup& names, const Definition& d) {
  const std::string_view raw = a.rawLine(d.line);
  const bool firmware = a.reading() == Reading::Firmware;
  const auto pieces = linePieces(raw, firmware);
  uint32_t begin = 0;
  uint32_t end = static_cast<uint32_t>(raw.size());
  while (begin < end && (raw[begin] == ' ' || raw[begin] == '\t')) ++begin;
  if (!pieces.empty() && pieces.back().kind == LinePiece::Kind::Comment) end = pieces.back().begin;
  while (end > begin && (raw[end - 1] == ' ' || raw[end - 1] == '\t')) --end;
  Signature s;
  s.label = std::string(raw.substr(begin, end - begin));

  // The pieces after the name: bracketed parameters, or (a CSUB's types)
  // everything to the end of the line.
  const auto nameEnd = static_cast<uint32_t>(names.positionOf(d.nameAt).column) + static_cast<uint32_t>(d.name.size());
  std::vector<LinePiece> after;
  for (const LinePiece& p : pieces) {
    if (p.begin >= nameEnd && p.kind != LinePiece::Kind::Comment) after.push_back(p);
  }
  const bool bracketed = !after.empty() && isMark(raw, after.front(), '(');
  uint32_t from = bracketed ? after.front().end : nameEnd;
  auto addParameter = [&](uint32_t to) {
    uint32_t b = from, e = to;
    while (b < e && (raw[b] == ' ' || raw[b] == '\t')) ++b;
    while (e > b && (raw[e - 1] == ' ' || raw[e - 1] == '\t')) --e;
    if (e > b) s.parameters.push_back({static_cast<int32_t>(b - begin), static_cast<int32_t>(e - begin)});
    from = to + 1;
  };
  int32_t depth = bracketed ? 0 : 1;
  for (const LinePiece& p : after) {
    if (isMark(raw, p, '(')) ++depth;
    if (isMark(raw, p, ')') && --depth == 0) {
      addParameter(p.begin);
      return s;
    }
    if (isMark(raw, p, ',') && depth == 1) addParameter(p.begin);
  }
  addParameter(end);
  return s;
}

}  // namespace

std::optional<Signature> signatureHelp(const Program& program, DocumentId document, Position p) {
  const Analysis& a = program.analysis();
  const NameLookup& names = program.names();
  const std::string_view line = program.lineText(document, p.line);
  const auto column = static_cast<uint32_t>(std::max(0, p.column));

  // The brackets open at the cursor, each with the word before it and the
  // commas met inside it; the statement's pieces before the cursor.
  struct Bracket {
    std::string_view word;
    int32_t commas = 0;
  };
  std::vector<Bracket> open;
  std::vector<LinePiece> statement;
  int32_t statementCommas = 0;
  bool inComment = false;
  forEachPiece(line, a.reading() == Reading::Firmware, [&](const LinePiece& piece) {
    if (piece.begin >= column || inComment) return;
    if (piece.kind == LinePiece::Kind::Comment) {
      inComment = true;
      return;
    }
    if (endsStatement(line, piece)) {
      open.clear();
      statement.clear();
      statementCommas = 0;
      return;
    }
    if (isMark(line, piece, '(')) {
      const bool afterWord = !statement.empty() && statement.back().kind == LinePiece::Kind::Word;
      open.push_back({afterWord ? statement.back().in(line) : std::string_view{}});
    } else if (isMark(line, piece, ')')) {
      if (!open.empty()) open.pop_back();
    } else if (isMark(line, piece, ',')) {
      if (open.empty()) ++statementCommas;
      else ++open.back().commas;
    }
    statement.push_back(piece);
  });
  if (inComment) return std::nullopt;

  auto help = [&](std::string_view word, int32_t commas) -> std::optional<Signature> {
    if (word.empty()) return std::nullopt;
    const int32_t scope = names.callableScope(word);
    const Definition* d = scope >= 0 ? firstDefinition(a, scope) : nullptr;
    if (!d || d->kind == DefinitionKind::Font || d->name.empty() || d->nameAt.line < 1) return std::nullopt;
    Signature s = signatureOf(a, names, *d);
    s.activeParameter = commas;
    return s;
  };
  for (size_t i = open.size(); i-- > 0;) {
    if (auto s = help(open[i].word, open[i].commas)) return s;
  }
  // A SUB called as a statement: its name, a blank, its arguments.
  if (open.empty() && !statement.empty() && statement.front().kind == LinePiece::Kind::Word &&
      column > statement.front().end && !(statement.size() > 1 && isMark(line, statement[1], '('))) {
    return help(statement.front().in(line), statementCommas);
  }
  return std::nullopt;
}

}  // namespace vennik::language
