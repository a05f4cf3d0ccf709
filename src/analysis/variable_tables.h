#pragma once
// The name table of one analysis: rows of key, kind mark and line list, the
// key index through which rows are found, the widths that shape keys and the
// report, and the lists of lines with findings.
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "analysis/text_util.h"

namespace vennik {

// The numbers of the lines that refer to a row, in the order first met, each
// once. Held as numbers; `text()` gives the blank-separated decimal list.
class LineList {
 public:
  // Appends n unless it is already listed.
  void add(int32_t n);
  bool contains(int32_t n) const;
  const std::vector<int32_t>& numbers() const { return numbers_; }
  size_t size() const { return numbers_.size(); }
  void keepFirstOnly();
  Text text() const;

 private:
  std::vector<int32_t> numbers_;
  // Start index of each ascending run; the list is scanned lines in order, so
  // there are rarely more than two runs and a membership test is a binary
  // search per run.
  std::vector<uint32_t> runStarts_;
};

struct VariableRow {
  Text key;       // scope part, "\ ", name; empty marks a free row
  Text kindMark;  // "", "**", "Fn", "Lbl", "Lib" (rewritten by the report)
  LineList lines;
  bool isDefinition = false;  // written by recordDefinition
};

struct VariableTables {
  // rows[0] exists but is never used; rows 1..keyCount are in use. The table
  // grows past its initial capacity rather than ever dropping a name.
  std::vector<VariableRow> rows;
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

  // Lower-cased names of this pass's definitions.
  std::unordered_set<Text> definitionNames;

  // Discards everything and makes an empty table sized for `capacity` rows.
  void create(int32_t capacity);
  void setScopeWidth(int32_t width);

  // Row number of the key (compared ignoring case), or 0.
  int32_t findRow(TextView key) const;
  // Adds the key to the index and returns its new row number, or 0 when the
  // key (ignoring case) is already registered. Row n and slot n stay in step.
  int32_t registerKey(TextView key);

  // Rows in use: from 1 up to the first free row.
  int32_t rowCount() const { return keyCount; }

 private:
  std::unordered_map<Text, int32_t> keyIndex_;
};

}  // namespace vennik
