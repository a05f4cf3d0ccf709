#include "language/highlights.h"

#include <algorithm>

#include "language/line_words.h"
#include "language/name_roles.h"

namespace vennik::language {

namespace {

bool isMark(std::string_view line, const LinePiece& p, char c) {
  return p.kind == LinePiece::Kind::Mark && line[p.begin] == c;
}

// Whether the place gives the name a value: the name (with its index in
// brackets) before the "=" that starts a statement, after LET, as a FOR's
// variable, or among the names an INPUT, LINE INPUT or READ fills.
bool isWritten(std::string_view line, const Occurrence& o, bool remIsComment) {
  const auto column = static_cast<uint32_t>(o.start.column);
  const std::vector<LinePiece> before = statementBefore(line, column, remIsComment);
  auto first = [&](std::string_view w) { return !before.empty() && pieceIs(line, before.front(), w); };
  if (first("input") || first("read") || (first("line") && before.size() > 1 && pieceIs(line, before[1], "input"))) {
    int32_t depth = 0;
    for (const LinePiece& p : before) depth += isMark(line, p, '(') - isMark(line, p, ')');
    return depth == 0;
  }
  if (before.size() == 1 && (first("for") || first("let"))) {
    // FOR i = ...: only the name right after the word.
  } else if (!before.empty()) {
    return false;
  }
  // After the name: its index in brackets, then "=".
  int32_t depth = 0;
  bool found = false;
  forEachPiece(line, remIsComment, [&](const LinePiece& p) {
    if (found || depth < 0 || p.begin < column + static_cast<uint32_t>(o.length)) return;
    if (isMark(line, p, '(')) ++depth;
    else if (isMark(line, p, ')')) --depth;
    else if (depth == 0) {
      found = isMark(line, p, '=');
      depth = -1;  // the first piece outside brackets decides
    }
  });
  return found;
}

}  // namespace

std::vector<Highlight> documentHighlights(const Program& program, DocumentId document, Position p) {
  const Occurrence* at = program.nameAt(document, p);
  if (!at) return {};
  const Analysis& a = program.analysis();
  const NameLookup& names = program.names();
  const Target target = names.targetOf(at->row);
  const std::vector<Occurrence> declared = names.declarationsOf(target);
  const bool firmware = a.reading() == Reading::Firmware;
  std::vector<Highlight> out;
  for (const Occurrence& o : names.occurrencesOf(target, names.withRowsSharingPlaces(names.rowsOf(target)))) {
    const Location where = program.locate(o.range());
    if (where.document != document) continue;
    const bool declaration = std::any_of(declared.begin(), declared.end(),
                                         [&](const Occurrence& d) { return d.start == o.start; });
    const RowKind kind = target.kind == Target::Kind::Row ? a.row(target.row).kind : RowKind::Definition;
    const std::string_view line = a.rawLine(o.start.line);
    // A label is given where it is defined, wherever it is first named.
    const bool written = kind == RowKind::Label ? definesLabel(line, o)
                                                : (declaration && kind != RowKind::Undeclared) || isWritten(line, o, firmware);
    out.push_back({where.range, written ? HighlightKind::Write : HighlightKind::Read});
  }
  return out;
}

}  // namespace vennik::language
