#include "analysis/name_index.h"

namespace vennik {

void NameIndex::place(const Entry& e, uint32_t hash) {
  uint32_t i = (hash >> 8) & mask_;
  while (slots_[i].name >= 0) i = (i + 1) & mask_;
  slots_[i] = e;
  slotOfName_[static_cast<size_t>(e.name)] = i;
}

NameIndex::Entry& NameIndex::intern(std::string_view folded, uint32_t hash) {
  if (Entry* found = find(folded, hash)) return *found;
  const auto name = static_cast<int32_t>(offsets_.size() - 1);
  texts_.append(folded);
  offsets_.push_back(static_cast<uint32_t>(texts_.size()));
  hashes_.push_back(hash);
  slotOfName_.push_back(0);
  if ((static_cast<size_t>(name) + 1) * 3 > slots_.size() * 2) {
    BigArray<Entry> old;
    old.swap(slots_);
    const size_t capacity = old.empty() ? 1024 : old.size() * 2;
    slots_.resize(capacity);
    for (Entry& e : slots_) e = Entry{};
    mask_ = static_cast<uint32_t>(capacity - 1);
    for (const Entry& e : old) {
      if (e.name >= 0) place(e, hashes_[static_cast<size_t>(e.name)]);
    }
  }
  Entry e;
  e.prefix = prefixOf(folded);
  e.tag = tagOf(folded, hash);
  e.name = name;
  place(e, hash);
  return entry(name);
}

int32_t NameIndex::probeRow(const ScopeTable& t, int32_t name) const {
  if (t.count == 0) return -1;
  const RowSlot* slots = rowSlots_.data() + t.offset;
  for (uint32_t i = slotOf(name) & t.mask;; i = (i + 1) & t.mask) {
    const RowSlot& s = slots[i];
    if (s.name == 0) return -1;
    if (s.name == name + 1) return s.row;
  }
}

namespace {
uint32_t log2Of(uint32_t n) {
  uint32_t k = 0;
  while ((uint32_t{1} << k) < n) ++k;
  return k;
}
}  // namespace

void NameIndex::growTable(ScopeTable& t) {
  // A twice as large run: one a growing table gave up, else a new one at the
  // end. The old run goes to the free runs of its size.
  const uint32_t slots = t.count == 0 ? 8 : (t.mask + 1) * 2;
  const uint32_t k = log2Of(slots);
  if (freeRuns_.size() <= k + 1) freeRuns_.resize(k + 2);
  size_t offset;
  if (!freeRuns_[k].empty()) {
    offset = freeRuns_[k].back();
    freeRuns_[k].pop_back();
    std::memset(static_cast<void*>(rowSlots_.data() + offset), 0, slots * sizeof(RowSlot));
  } else {
    offset = rowSlots_.size();
    rowSlots_.resize(offset + slots);  // zero: every slot empty
  }
  RowSlot* fresh = rowSlots_.data() + offset;
  if (t.count != 0) {
    const RowSlot* old = rowSlots_.data() + t.offset;
    for (uint32_t k = 0; k <= t.mask; ++k) {
      if (old[k].name == 0) continue;
      uint32_t i = slotOf(old[k].name - 1) & (slots - 1);
      while (fresh[i].name != 0) i = (i + 1) & (slots - 1);
      fresh[i] = old[k];
    }
  }
  if (t.count != 0) freeRuns_[log2Of(t.mask + 1)].push_back(t.offset);
  t.offset = static_cast<uint32_t>(offset);
  t.mask = slots - 1;
}

void NameIndex::addRow(int32_t scope, Entry& e, int32_t row) {
  if (scope == 0) {  // the global scope: one row per name at most, held directly
    e.globalRow = row;
    return;
  }
  if (static_cast<size_t>(scope) >= scopes_.size()) scopes_.resize(static_cast<size_t>(scope) + 1);
  ScopeTable& t = scopes_[static_cast<size_t>(scope)];
  if (t.count == 0 || (t.count + 1) * 4 > (t.mask + 1) * 3) growTable(t);
  RowSlot* slots = rowSlots_.data() + t.offset;
  uint32_t i = slotOf(e.name) & t.mask;
  while (slots[i].name != 0) i = (i + 1) & t.mask;
  slots[i] = RowSlot{e.name + 1, row};
  ++t.count;
  ++e.localRows;
  e.cachedScope = scope;
  e.cachedRow = row;
}

}  // namespace vennik
