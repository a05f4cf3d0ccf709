#include "analysis/variable_tables.h"

#include <algorithm>

namespace vennik {

bool LineList::contains(int32_t n) const {
  for (size_t r = 0; r < runStarts_.size(); ++r) {
    auto b = numbers_.begin() + runStarts_[r];
    auto e = r + 1 < runStarts_.size() ? numbers_.begin() + runStarts_[r + 1] : numbers_.end();
    if (n < *b || n > *(e - 1)) continue;
    if (std::binary_search(b, e, n)) return true;
  }
  return false;
}

void LineList::add(int32_t n) {
  if (!numbers_.empty()) {
    if (n == numbers_.back()) return;
    if (n < numbers_.back() || runStarts_.size() > 1) {
      if (contains(n)) return;
    }
    if (n < numbers_.back()) runStarts_.push_back(static_cast<uint32_t>(numbers_.size()));
  } else {
    runStarts_.push_back(0);
  }
  numbers_.push_back(n);
}

void LineList::keepFirstOnly() {
  if (numbers_.size() > 1) numbers_.resize(1);
  if (runStarts_.size() > 1) runStarts_.resize(1);
}

Text LineList::text() const {
  Text out;
  for (size_t i = 0; i < numbers_.size(); ++i) {
    if (i) out.push_back(u' ');
    out += decimal(numbers_[i]);
  }
  return out;
}

void VariableTables::create(int32_t capacity) {
  rows.clear();
  rows.shrink_to_fit();
  tableCapacity = std::max(capacity, 0);
  rows.emplace_back();  // row 0, never used
  keyCount = 0;
  keyIndex_.clear();
  definitionNames.clear();
  unpairedBracketLines.clear();
  unpairedQuoteLines.clear();
  longLines.clear();
  unpairedBracketNumbers.clear();
  unpairedQuoteNumbers.clear();
  longLineEntries.clear();
  unpairedBracketCount = unpairedQuoteCount = longLineCount = 0;
  setScopeWidth(7);
}

void VariableTables::setScopeWidth(int32_t width) {
  scopeWidth = width;
  keySlotWidth = width + 32;
  globalScopePrefix = padOrCut(u" Global", width) + u"\\ ";
}

int32_t VariableTables::findRow(TextView key) const {
  auto it = keyIndex_.find(lowerText(key));
  return it == keyIndex_.end() ? 0 : it->second;
}

int32_t VariableTables::registerKey(TextView key) {
  auto [it, added] = keyIndex_.emplace(lowerText(key), keyCount + 1);
  if (!added) return 0;
  ++keyCount;
  if (static_cast<int32_t>(rows.size()) <= keyCount) rows.resize(static_cast<size_t>(keyCount) + 1);
  return keyCount;
}

}  // namespace vennik
