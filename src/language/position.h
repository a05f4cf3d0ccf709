#pragma once
// Where things stand in a program's documents, as the language features
// count them: lines from 1, as the analysis and the report do, and columns
// in bytes of the line's UTF-8 text from 0. The language server converts to
// the protocol's counting once, at its edge.
#include <compare>
#include <cstdint>

namespace vennik::language {

// Which document of a program a place is in: an index into the program's
// documents, the main document first.
using DocumentId = int32_t;

struct Position {
  int32_t line = 0;    // 1-based
  int32_t column = 0;  // 0-based byte offset into the line's text
  friend auto operator<=>(const Position&, const Position&) = default;
};

struct Range {
  Position start;
  Position end;
  friend bool operator==(const Range&, const Range&) = default;
};

struct Location {
  DocumentId document = 0;
  Range range;
  friend bool operator==(const Location&, const Location&) = default;
};

}  // namespace vennik::language
