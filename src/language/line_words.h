#pragma once
// One line of BASIC cut into the pieces the features look at: words,
// numbers, strings, comments and the marks between them. It follows the
// analysis's own rules for where a word starts and ends (the name
// characters), a string (a quote to the next, or to the end of the line) and
// a comment (an apostrophe, or REM where the reading makes it one), so that
// what a feature finds between the names agrees with the names the analysis
// found.
#include <cstdint>
#include <string_view>
#include <vector>

#include "analysis/fold_word.h"
#include "analysis/name_characters.h"

namespace vennik::language {

struct LinePiece {
  enum class Kind : uint8_t { Word, Number, String, Comment, Mark };
  Kind kind = Kind::Mark;
  uint32_t begin = 0;  // bytes of the line
  uint32_t end = 0;

  std::string_view in(std::string_view line) const { return line.substr(begin, end - begin); }
};

// Whether a word piece is `lower` (lower case), in any case.
inline bool pieceIs(std::string_view line, const LinePiece& piece, std::string_view lower) {
  return piece.kind == LinePiece::Kind::Word && foldsTo(piece.in(line), lower);
}

// The byte-order mark a document's first line may begin with.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Calls visit(piece) for each piece of `line` in order, blanks (and a
// byte-order mark at its start) left out. A mark is one character. With
// `remIsComment` (the firmware's reading) the word REM starts a comment.
template <typename Visit>
void forEachPiece(std::string_view line, bool remIsComment, Visit&& visit) {
  const auto n = static_cast<uint32_t>(line.size());
  uint32_t i = line.starts_with(kByteOrderMark) ? static_cast<uint32_t>(kByteOrderMark.size()) : 0;
  while (i < n) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '\'') {
      visit(LinePiece{LinePiece::Kind::Comment, i, n});
      return;
    }
    if (c == '"') {
      uint32_t close = i + 1;
      while (close < n && line[close] != '"') ++close;
      const uint32_t end = close < n ? close + 1 : n;
      visit(LinePiece{LinePiece::Kind::String, i, end});
      i = end;
      continue;
    }
    if (!isNameChar(c)) {
      visit(LinePiece{LinePiece::Kind::Mark, i, i + 1});
      ++i;
      continue;
    }
    uint32_t end = i + 1;
    while (end < n && isNameChar(line[end])) ++end;
    const char next = end > i + 1 ? foldAscii(line[i + 1]) : ' ';
    const bool number = (c >= '0' && c <= '9') || (c == '.' && next >= '0' && next <= '9') ||
                        (c == '&' && (next == 'h' || next == 'o' || next == 'b')) ||
                        (c == '#' && next >= '0' && next <= '9');
    if (!number && remIsComment && end - i == 3 && foldsTo(line.substr(i, 3), "rem")) {
      visit(LinePiece{LinePiece::Kind::Comment, i, n});
      return;
    }
    visit(LinePiece{number ? LinePiece::Kind::Number : LinePiece::Kind::Word, i, end});
    i = end;
  }
}

// The pieces of the line as a list.
std::vector<LinePiece> linePieces(std::string_view line, bool remIsComment);

// Whether a piece ends a statement: a colon, THEN or ELSE (what follows them
// is a statement of its own).
bool endsStatement(std::string_view line, const LinePiece& piece);

// The pieces of the statement that holds the byte `column`, from its start
// up to (not including) the piece at or after `column`.
std::vector<LinePiece> statementBefore(std::string_view line, uint32_t column, bool remIsComment);

}  // namespace vennik::language
