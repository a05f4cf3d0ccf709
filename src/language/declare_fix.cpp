#include "language/declare_fix.h"

#include <algorithm>
#include <set>

#include "language/board_findings.h"
#include "language/line_words.h"

namespace vennik::language {

namespace {

bool touches(const Range& place, const Range& range) { return place.start <= range.end && range.start <= place.end; }

// Whether a bracket follows the place: an array's index (or a call).
bool indexed(const Analysis& a, const Occurrence& o) {
  const std::string_view line = a.rawLine(o.start.line);
  size_t i = static_cast<size_t>(o.start.column + o.length);
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return i < line.size() && line[i] == '(';
}

std::string indentOf(std::string_view line) {
  size_t n = 0;
  while (n < line.size() && (line[n] == ' ' || line[n] == '\t')) ++n;
  return std::string(line.substr(0, n));
}

// Where a line goes in after `line` of the document: the start of the next
// line, or the end of the last with a line end first.
std::pair<Location, std::string> after(const Program& program, DocumentId document, int32_t line, std::string text) {
  if (line < program.documentLineCount(document)) return {{document, {{line + 1, 0}, {line + 1, 0}}}, text + "\n"};
  const auto end = static_cast<int32_t>(program.lineText(document, line).size());
  return {{document, {{line, end}, {line, end}}}, "\n" + text};
}

// The line the DIM goes after in the main document: the OPTION EXPLICIT
// line and the OPTION lines right after it (OPTION DEFAULT decides what a
// DIM without a type makes); without one there, the OPTION lines among the
// comments that open the program. 0: the very top.
int32_t lineBeforeDim(const Program& program, bool firmware) {
  auto optionLine = [&](int32_t n, bool explicitOnly) {
    const std::string_view line = program.lineText(0, n);
    const auto pieces = linePieces(line, firmware);
    if (pieces.empty() || !pieceIs(line, pieces.front(), "option")) return false;
    return !explicitOnly || (pieces.size() > 1 && pieceIs(line, pieces[1], "explicit"));
  };
  auto blankOrComment = [&](int32_t n) {
    const auto pieces = linePieces(program.lineText(0, n), firmware);
    return pieces.empty() || pieces.front().kind == LinePiece::Kind::Comment;
  };
  const int32_t lines = program.documentLineCount(0);
  int32_t from = 1;
  while (from <= lines && !optionLine(from, true)) ++from;
  int32_t last = 0;
  if (from > lines) from = 1;  // no OPTION EXPLICIT in the main document
  for (int32_t n = from; n <= lines; ++n) {
    if (optionLine(n, false)) last = n;
    else if (!blankOrComment(n)) break;
  }
  return last;
}

// The word as the program writes it (DIM, Dim, dim), or as given when the
// program never does.
std::string spelled(const Analysis& a, std::string_view lower, std::string_view fallback) {
  const bool firmware = a.reading() == Reading::Firmware;
  for (int32_t n = 1; n <= a.lineCount(); ++n) {
    const std::string_view line = a.rawLine(n);
    std::string_view found;
    forEachPiece(line, firmware, [&](const LinePiece& p) {
      if (found.empty() && pieceIs(line, p, lower)) found = p.in(line);
    });
    if (!found.empty()) return std::string(found);
  }
  return std::string(fallback);
}

}  // namespace

std::vector<DeclareFix> declareFixes(const Program& program, DocumentId document, const Range& range) {
  const Analysis& a = program.analysis();
  if (!hasOptionExplicit(a)) return {};
  const NameLookup& names = program.names();
  const bool firmware = a.reading() == Reading::Firmware;
  std::vector<DeclareFix> out;
  std::set<int32_t> done;
  for (int32_t line = range.start.line; line <= range.end.line; ++line) {
    const auto at = program.inAnalysis(document, {line, 0});
    if (!at) continue;
    for (const Occurrence& o : names.onLine(at->line)) {
      const RowView row = a.row(o.row);
      if (row.kind != RowKind::Undeclared || done.count(o.row)) continue;
      const Location place = program.locate(o.range());
      if (place.document != document || !touches(place.range, range)) continue;
      done.insert(o.row);
      const auto places = names.rowOccurrences(o.row);
      if (std::any_of(places.begin(), places.end(), [&](const Occurrence& p) { return indexed(a, p); })) continue;
      const std::string name(row.name);
      DeclareFix fix{{}, name, {}, {}};
      if (row.scope > Analysis::kMainScope) {
        // After the header of the definition the name is used in.
        const Definition* d = nullptr;
        for (const Definition& each : a.definitions()) {
          if (each.scope == row.scope && each.line <= o.start.line) d = &each;
        }
        if (!d) continue;
        const Location header = program.locate({{d->line, 0}, {d->line, 0}});
        const int32_t headerLine = header.range.start.line;
        std::string indent = indentOf(program.lineText(header.document, headerLine + 1));
        if (indent.empty()) indent = indentOf(program.lineText(header.document, headerLine)) + "  ";
        fix.title = "Declare " + name + " with LOCAL in " + std::string(a.scopeName(row.scope));
        std::tie(fix.insertAt, fix.text) = after(program, header.document, headerLine, indent + spelled(a, "local", "Local") + " " + name);
      } else {
        fix.title = "Declare " + name + " with DIM at the top of the program";
        const int32_t option = lineBeforeDim(program, firmware);
        const std::string dim = spelled(a, "dim", "Dim") + " " + name;
        // The very top, after a byte-order mark.
        const int32_t top = program.lineText(0, 1).starts_with(kByteOrderMark) ? 3 : 0;
        if (option == 0) std::tie(fix.insertAt, fix.text) = std::pair{Location{0, {{1, top}, {1, top}}}, dim + "\n"};
        else std::tie(fix.insertAt, fix.text) = after(program, 0, option, dim);
      }
      out.push_back(std::move(fix));
    }
  }
  return out;
}

}  // namespace vennik::language
