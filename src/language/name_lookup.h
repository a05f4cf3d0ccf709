#pragma once
// Where each name stands in an analysed program and what it stands for: the
// lookups that definition, references, rename, hover and symbols share. A
// view over one Analysis, in its lines; it keeps a pointer to it. Its
// indexes by place and by name are built when first asked for, so one
// NameLookup is not to be used from two threads at once.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/analysis.h"
#include "language/position.h"

namespace vennik::language {

// One place a row's name stands, in a line of the analysis; the length is in
// bytes (names are ASCII).
struct Occurrence {
  Position start;
  int32_t length = 0;
  int32_t row = -1;
  bool ownScope = false;  // the row's scope is the one the line is read in

  Range range() const { return {start, {start.line, start.column + length}}; }
};

// What a name stands for. A SUB or FUNCTION is one thing wherever it is
// named: its headers, the calls in every scope, and uses of its own name
// inside it. Every other name is its row.
struct Target {
  enum class Kind { Row, Callable };
  Kind kind = Kind::Row;
  int32_t row = -1;    // Kind::Row
  int32_t scope = -1;  // Kind::Callable: the definition's scope
};

class NameLookup {
 public:
  explicit NameLookup(const Analysis& analysis);

  const Analysis& analysis() const { return *analysis_; }

  // A place the analysis gives (1-based line and column in UTF-16 units) as
  // a position.
  Position positionOf(const Reference& ref) const;

  // The name at a place, the cursor standing on it or just after it. A place
  // that two rows share (a DIM inside a definition is read in the global
  // scope and in the definition's) gives the row of the scope the line is
  // read in.
  const Occurrence* at(Position p) const;

  Target targetOf(int32_t row) const;
  // The name a target goes by: a callable's as its first header writes it.
  std::string_view nameOf(const Target& target) const;
  // The scope of the SUB, FUNCTION, CFUNCTION or CSUB named `name`, or -1.
  int32_t callableScope(std::string_view name) const;
  // Rows whose name is `name`, ignoring case, in the order they were added.
  const std::vector<int32_t>& rowsNamed(std::string_view name) const;

  // The rows a target consists of.
  std::vector<int32_t> rowsOf(const Target& target) const;
  // Every place of a target, in source order, each place once.
  std::vector<Occurrence> occurrencesOf(const Target& target) const;
  // The same with the target's rows given (for rename: with the rows that
  // share places with them).
  std::vector<Occurrence> occurrencesOf(const Target& target, const std::vector<int32_t>& rows) const;
  // Where a target is declared: a callable's headers; a row's first place,
  // where the analysis created it.
  std::vector<Occurrence> declarationsOf(const Target& target) const;
  // `rows` and every row that shares a place with one of them, repeatedly.
  std::vector<int32_t> withRowsSharingPlaces(std::vector<int32_t> rows) const;
  // A row's places, in the order the analysis met them.
  std::vector<Occurrence> rowOccurrences(int32_t row) const;
  // Every place on a line of the analysis, by column; where two rows share
  // a place, the row of the line's own scope first.
  std::span<const Occurrence> onLine(int32_t line) const;

  // Every distinct line a target is used on.
  int32_t lineCountOf(const Target& target) const;

 private:
  Occurrence occurrenceOf(int32_t row, const Reference& ref) const;

  const Analysis* analysis_;
  std::vector<bool> asciiLine_;             // by line, from 1
  // The places of every row by line, made when first needed: a program
  // analysed for its diagnostics alone, as on every keystroke, needs none.
  void indexPlaces() const;
  mutable bool placesIndexed_ = false;
  mutable std::vector<Occurrence> byPlace_;    // sorted by line, column, preferred row first
  mutable std::vector<uint32_t> lineStart_;    // by line: first index into byPlace_
  mutable std::unordered_map<std::string, std::vector<int32_t>> rowsByName_;
  mutable bool rowsByNameBuilt_ = false;
  std::unordered_map<std::string, int32_t> callables_;  // folded name -> scope
};

}  // namespace vennik::language
