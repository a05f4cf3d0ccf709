#include "analysis/name_table.h"

#include <algorithm>
#include <cstring>

#include "analysis/number_literal.h"

namespace vennik {

namespace {
uint32_t log2Of(uint32_t n) {
  uint32_t k = 0;
  while ((uint32_t{1} << k) < n) ++k;
  return k;
}
}  // namespace

NameTable::NameTable(std::string_view source, bool sourceAscii, size_t expectedRows, size_t keywordCount)
    : source_(source), sourceAscii_(sourceAscii), definedWords_(keywordCount, false) {
  rows_.reserve(expectedRows);
  marks_.reserve(expectedRows);
  scopeNameSlots_.resize(64);
  scopeNameMask_ = 63;
  definitionFilter_.assign(64, 0);  // 4,096 bits
  filterShift_ = 32 - 12;
  for (std::string_view fixed : {std::string_view(" global"), std::string_view("!")}) {
    scopeNamed(fixed, wordHash(fixed), static_cast<int32_t>(scopeNames_.size()));
  }
}

int32_t NameTable::addRow(int32_t scope, int32_t spelling, std::string_view name, uint32_t hash, Mark mark,
                          bool definitionRow) {
  const auto r = static_cast<int32_t>(rows_.size());
  RowRecord rec;
  rec.nameBegin = static_cast<uint32_t>(name.data() - source_.data());
  rec.nameLength = static_cast<uint32_t>(name.size());
  rec.scopeSpelling = spelling;
  rec.definitionRow = definitionRow;
  rows_.push_back(rec);
  marks_.push_back(mark);
  longestName_ = std::max(longestName_, sourceAscii_ ? name.size() : utf16Length(name));
  if (indexed(scope)) index(scope, hash, r);  // else the definition's own row, indexed when its lines are read
  return r;
}

void NameTable::index(int32_t scope, uint32_t hash, int32_t row) {
  if (static_cast<size_t>(scope) >= scopes_.size()) scopes_.resize(static_cast<size_t>(scope) + 1);
  ScopeIndex& t = scopes_[static_cast<size_t>(scope)];
  if (t.count == 0 || (t.count + 1) * 4 > (t.mask + 1) * 3) growIndex(t);
  RowSlot* slots = slots_.data() + t.offset;
  uint32_t i = hash & t.mask;
  while (slots[i].row != 0) i = (i + 1) & t.mask;
  slots[i] = RowSlot{hash, row + 1};
  ++t.count;
}

uint32_t NameTable::keyHash(int32_t row) const {
  const RowRecord& rec = rows_[static_cast<size_t>(row)];
  const std::string_view name = source_.substr(rec.nameBegin, rec.nameLength);
  if (rec.definitionRow) return wordHash(foldCase(name));
  std::string folded(name.size(), '\0');
  foldAsciiInto(name.data(), name.size(), folded.data());
  return wordHash(folded);
}

void NameTable::openScope(int32_t scope) {
  if (scope <= Analysis::kMainScope) return;
  if (static_cast<size_t>(scope) >= visits_.size()) visits_.resize(static_cast<size_t>(scope) + 1);
  ScopeVisit& v = visits_[static_cast<size_t>(scope)];
  if (v.state == Visit::Open || v.state == Visit::Kept) return;
  const bool again = v.state == Visit::Closed;
  v.state = again ? Visit::Kept : Visit::Open;
  if (!again) v.firstRow = rowCount();
  if (const int32_t own = definitionRow(scope); own >= 0) index(scope, keyHash(own), own);
  if (again) {
    for (int32_t r = v.firstRow; r < v.endRow; ++r) index(scope, keyHash(r), r);
  }
}

void NameTable::closeScope(int32_t scope) {
  if (scope <= Analysis::kMainScope || static_cast<size_t>(scope) >= visits_.size()) return;
  ScopeVisit& v = visits_[static_cast<size_t>(scope)];
  if (v.state != Visit::Open) return;
  v.state = Visit::Closed;
  v.endRow = rowCount();
  if (static_cast<size_t>(scope) < scopes_.size()) {
    ScopeIndex& t = scopes_[static_cast<size_t>(scope)];
    if (t.count != 0) freeRuns_[log2Of(t.mask + 1)].push_back(t.offset);
    t = ScopeIndex{};
  }
}

void NameTable::growIndex(ScopeIndex& t) {
  // A twice as large run: one a growing index gave up, else a new one at
  // the end. The old run goes to the free runs of its size.
  const uint32_t size = t.count == 0 ? 8 : (t.mask + 1) * 2;
  const uint32_t k = log2Of(size);
  if (freeRuns_.size() <= k) freeRuns_.resize(k + 1);
  size_t offset;
  if (!freeRuns_[k].empty()) {
    offset = freeRuns_[k].back();
    freeRuns_[k].pop_back();
    std::memset(static_cast<void*>(slots_.data() + offset), 0, size * sizeof(RowSlot));
  } else {
    offset = slots_.size();
    slots_.resize(offset + size);  // zero: every slot empty
  }
  RowSlot* fresh = slots_.data() + offset;
  if (t.count != 0) {
    const RowSlot* old = slots_.data() + t.offset;
    for (uint32_t j = 0; j <= t.mask; ++j) {
      if (old[j].row == 0) continue;
      uint32_t i = old[j].hash & (size - 1);
      while (fresh[i].row != 0) i = (i + 1) & (size - 1);
      fresh[i] = old[j];
    }
    freeRuns_[log2Of(t.mask + 1)].push_back(t.offset);
  }
  t.offset = static_cast<uint32_t>(offset);
  t.mask = size - 1;
}

std::pair<int32_t, bool> NameTable::scopeNamed(std::string_view folded, uint32_t hash, int32_t next) {
  if (const int32_t k = findScopeName(folded, hash); k >= 0) return {scopeNames_[static_cast<size_t>(k)].scope, false};
  scopeNames_.push_back(ScopeName{std::string(folded), hash, next, false});
  if (scopeNames_.size() * 2 > scopeNameSlots_.size()) {
    scopeNameSlots_.assign(scopeNameSlots_.size() * 2, ScopeNameSlot{});
    scopeNameMask_ = static_cast<uint32_t>(scopeNameSlots_.size() - 1);
    for (uint32_t e = 1; e < scopeNames_.size(); ++e) placeScopeName(e);
  }
  placeScopeName(static_cast<uint32_t>(scopeNames_.size()));
  return {next, true};
}

void NameTable::placeScopeName(uint32_t entry) {
  const uint32_t hash = scopeNames_[entry - 1].hash;
  uint32_t i = hash & scopeNameMask_;
  while (scopeNameSlots_[i].entry != 0) i = (i + 1) & scopeNameMask_;
  scopeNameSlots_[i] = ScopeNameSlot{hash, entry};
}

void NameTable::addDefinition(std::string_view folded, uint32_t hash, int32_t scope, int32_t row,
                              const WordInfo* keyword) {
  if (const int32_t k = findScopeName(folded, hash); k >= 0 && !scopeNames_[static_cast<size_t>(k)].definition) {
    scopeNames_[static_cast<size_t>(k)].definition = true;
    if (++definitionCount_ * 16 > definitionFilter_.size() * 64) {
      definitionFilter_.assign(definitionFilter_.size() * 2, 0);
      --filterShift_;
      for (const ScopeName& n : scopeNames_) {
        if (n.definition) fileDefinition(n.hash);
      }
    } else {
      fileDefinition(hash);
    }
  }
  if (!folded.empty() && mayStartNumber(folded[0])) numberLikeDefinitions_ = true;
  if (keyword != nullptr) definedWords_[keyword->index] = true;
  if (static_cast<size_t>(scope) >= definitionRows_.size()) definitionRows_.resize(static_cast<size_t>(scope) + 1, -1);
  definitionRows_[static_cast<size_t>(scope)] = row;
}

void NameTable::dropIndex() {
  std::vector<ScopeIndex>().swap(scopes_);
  BigArray<RowSlot>().swap(slots_);
  std::vector<std::vector<uint32_t>>().swap(freeRuns_);
  std::vector<ScopeVisit>().swap(visits_);
  std::vector<ScopeName>().swap(scopeNames_);
  std::vector<ScopeNameSlot>().swap(scopeNameSlots_);
  std::vector<int32_t>().swap(definitionRows_);
  std::vector<uint64_t>().swap(definitionFilter_);
}

}  // namespace vennik
