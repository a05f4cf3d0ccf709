#pragma once
// The name table of one analysis: rows of key, kind mark and line list, the
// key index through which rows are found, the widths that shape keys and the
// report, and the lists of lines with findings.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analysis/chunked_vector.h"
#include "analysis/key_index.h"
#include "analysis/text_util.h"

namespace vennik {

// The numbers of the lines that refer to a row, in the order first met, each
// once. Held as numbers; `text()` gives the blank-separated decimal list.
class LineList {
 public:
  LineList() = default;
  LineList(const LineList& other) { *this = other; }
  LineList& operator=(const LineList& other);
  LineList(LineList&&) noexcept = default;
  LineList& operator=(LineList&&) noexcept = default;

  // Appends n unless it is already listed.
  void add(int32_t n);
  bool contains(int32_t n) const;
  const std::vector<int32_t>& numbers() const { return numbers_; }
  size_t size() const { return numbers_.size(); }
  void keepFirstOnly();
  Text text() const;
  void appendText(Text& out) const;

 private:
  std::vector<int32_t> numbers_;
  // Start index of each ascending run after the first. Lines are met in
  // order within each pass, so there are rarely more than two runs, and a
  // membership test is a binary search per run. Most rows have one run and
  // no such vector at all.
  std::unique_ptr<std::vector<uint32_t>> runStarts_;
};

// A row's kind mark: at most three characters ("", "**", "Fn", "Lbl", "Lib",
// and after the report "  " or "***"), held in place rather than on the heap.
class KindMark {
 public:
  KindMark() = default;
  KindMark(TextView s) { assign(s); }  // NOLINT: marks are written as texts
  KindMark& operator=(TextView s) {
    assign(s);
    return *this;
  }
  operator TextView() const { return TextView(chars_, size_); }  // NOLINT
  bool empty() const { return size_ == 0; }
  size_t size() const { return size_; }
  friend bool operator==(const KindMark& a, TextView b) { return TextView(a) == b; }

 private:
  void assign(TextView s) {
    size_ = static_cast<uint8_t>(s.size() < 3 ? s.size() : 3);
    for (uint8_t i = 0; i < size_; ++i) chars_[i] = s[i];
  }
  char16_t chars_[3] = {};
  uint8_t size_ = 0;
};

struct VariableRow {
  Text key;       // scope part, "\ ", name; empty marks a free row
  KindMark kindMark;
  LineList lines;
  bool isDefinition = false;  // written by recordDefinition
};

struct VariableTables {
  // rows[0] exists but is never used; rows 1..keyCount are in use. The table
  // grows past its initial capacity rather than ever dropping a name, without
  // moving the rows it holds.
  ChunkedVector<VariableRow> rows;
  int32_t tableCapacity = 0;  // rows sized from the line count and the factor
  int32_t keyCount = 0;

  int32_t scopeWidth = 7;
  int32_t keySlotWidth = 39;
  Text globalScopePrefix;

  Text unpairedBracketLines;
  int32_t unpairedBracketCount = 0;
  Text unpairedQuoteLines;
  int32_t unpairedQuoteCount = 0;
  Text longLines;
  int32_t longLineCount = 0;
  // The same findings as numbers, for tools that read them.
  std::vector<int32_t> unpairedBracketNumbers;
  std::vector<int32_t> unpairedQuoteNumbers;
  std::vector<std::pair<int32_t, int32_t>> longLineEntries;  // line, length

  // Names of this pass's definitions, compared ignoring case.
  TextSet definitionNames;

  // Discards everything and makes an empty table sized for `capacity` rows.
  void create(int32_t capacity);
  void setScopeWidth(int32_t width);

  // Row number of the key (compared ignoring case), or 0.
  int32_t findRow(TextView key) const { return findRow(KeyPieces{key, {}, {}}); }
  int32_t findRow(const KeyPieces& key) const { return findRow(key, keyHash(key)); }
  // The same, with keyHash(key) already at hand.
  int32_t findRow(const KeyPieces& key, uint64_t hash) const;
  // Adds the key to the index, writes it into the new row and returns the
  // row's number, or 0 when the key (ignoring case) is already registered.
  // Row n and slot n of the index stay in step.
  int32_t registerKey(TextView key);

  // Changes a row's shown key (the report shortens definition rows) while the
  // index keeps finding the row under the key it was registered with.
  void rewriteKey(int32_t row, Text newKey);

  // Rows in use: from 1 up to the first free row.
  int32_t rowCount() const { return keyCount; }

 private:
  TextView indexedKey(int32_t row) const;

  KeyIndex keyIndex_;
  std::unordered_map<int32_t, Text> registeredKeys_;  // of rewritten rows only
};

}  // namespace vennik
