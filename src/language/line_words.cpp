#include "language/line_words.h"

namespace vennik::language {

std::vector<LinePiece> linePieces(std::string_view line, bool remIsComment) {
  std::vector<LinePiece> out;
  forEachPiece(line, remIsComment, [&](const LinePiece& p) { out.push_back(p); });
  return out;
}

bool endsStatement(std::string_view line, const LinePiece& piece) {
  if (piece.kind == LinePiece::Kind::Mark) return line[piece.begin] == ':';
  return pieceIs(line, piece, "then") || pieceIs(line, piece, "else");
}

std::vector<LinePiece> statementBefore(std::string_view line, uint32_t column, bool remIsComment) {
  std::vector<LinePiece> out;
  for (const LinePiece& p : linePieces(line, remIsComment)) {
    if (p.begin >= column || p.kind == LinePiece::Kind::Comment) break;
    if (endsStatement(line, p)) out.clear();
    else out.push_back(p);
  }
  return out;
}

}  // namespace vennik::language
