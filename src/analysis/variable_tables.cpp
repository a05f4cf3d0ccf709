#include "analysis/variable_tables.h"

#include <algorithm>

namespace vennik {

LineList& LineList::operator=(const LineList& other) {
  if (this == &other) return *this;
  numbers_ = other.numbers_;
  runStarts_ = other.runStarts_ ? std::make_unique<std::vector<uint32_t>>(*other.runStarts_) : nullptr;
  return *this;
}

bool LineList::contains(int32_t n) const {
  const size_t extra = runStarts_ ? runStarts_->size() : 0;
  for (size_t r = 0; r <= extra; ++r) {
    auto b = numbers_.begin() + (r == 0 ? 0 : (*runStarts_)[r - 1]);
    auto e = r < extra ? numbers_.begin() + (*runStarts_)[r] : numbers_.end();
    if (b == e || n < *b || n > *(e - 1)) continue;
    if (std::binary_search(b, e, n)) return true;
  }
  return false;
}

void LineList::add(int32_t n) {
  if (!numbers_.empty()) {
    const int32_t last = numbers_.back();
    if (n == last) return;
    if ((n < last || runStarts_) && contains(n)) return;
    if (n < last) {
      if (!runStarts_) runStarts_ = std::make_unique<std::vector<uint32_t>>();
      runStarts_->push_back(static_cast<uint32_t>(numbers_.size()));
    }
  }
  numbers_.push_back(n);
}

void LineList::keepFirstOnly() {
  if (numbers_.size() > 1) numbers_.resize(1);
  runStarts_.reset();
}

void LineList::appendText(Text& out) const {
  for (size_t i = 0; i < numbers_.size(); ++i) {
    if (i) out.push_back(u' ');
    appendDecimal(out, numbers_[i]);
  }
}

Text LineList::text() const {
  Text out;
  appendText(out);
  return out;
}

void VariableTables::create(int32_t capacity) {
  rows.clear();
  rows.shrink_to_fit();
  tableCapacity = std::max(capacity, 0);
  rows.emplace_back();  // row 0, never used
  keyCount = 0;
  keyIndex_.clear();
  registeredKeys_.clear();
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

int32_t VariableTables::findRow(const KeyPieces& key, uint64_t hash) const {
  return keyIndex_.find(key, hash, [this](int32_t r) { return indexedKey(r); });
}

TextView VariableTables::indexedKey(int32_t row) const {
  if (!registeredKeys_.empty()) {
    auto it = registeredKeys_.find(row);
    if (it != registeredKeys_.end()) return it->second;
  }
  return rows[static_cast<size_t>(row)].key;
}

void VariableTables::rewriteKey(int32_t row, Text newKey) {
  Text& key = rows[static_cast<size_t>(row)].key;
  registeredKeys_.try_emplace(row, std::move(key));
  key = std::move(newKey);
}

int32_t VariableTables::registerKey(TextView key) {
  const KeyPieces pieces{key, {}, {}};
  const uint64_t hash = keyHash(pieces);
  if (keyIndex_.find(pieces, hash, [this](int32_t r) { return indexedKey(r); }) != 0)
    return 0;
  ++keyCount;
  if (static_cast<int32_t>(rows.size()) <= keyCount) rows.resize(static_cast<size_t>(keyCount) + 1);
  rows[static_cast<size_t>(keyCount)].key = Text(key);
  keyIndex_.insert(hash, keyCount, [this](int32_t r) { return indexedKey(r); });
  return keyCount;
}

}  // namespace vennik
