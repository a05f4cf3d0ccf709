#pragma once
// The lookups of one analysis: names interned once (ignoring case) to small
// numbers, and rows found by (scope, name). A name's entry holds what the
// scanner asks about it (its first bytes for the comparison, whether it names
// a definition, its global row, its last answer), so that a word costs one
// memory access; and each scope has a small row table of its own, so that
// the lines of one definition work on memory that stays in cache.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/keyword_table.h"
#include "base/big_array.h"

namespace vennik {

class NameIndex {
 public:
  struct Entry {
    uint64_t prefix = 0;  // the name's first eight bytes
    uint32_t tag = 0;     // the hash's upper bits and the length (up to 255)
    int32_t name = -1;    // -1: an empty slot
    int32_t cachedScope = -1;  // the last scope asked about, and its answer
    int32_t cachedRow = -1;
    int32_t globalRow = -1;
    uint32_t localRows : 31 = 0;  // rows outside the global scope
    uint32_t definition : 1 = 0;  // names a definition
  };

  // The entry of the folded name, or nullptr. Entries move when the index
  // grows: a pointer holds until the next intern.
  Entry* find(std::string_view folded, uint32_t hash) {
    if (slots_.empty()) return nullptr;
    const uint32_t tag = tagOf(folded, hash);
    const uint64_t prefix = prefixOf(folded);
    for (uint32_t i = (hash >> 8) & mask_;; i = (i + 1) & mask_) {
      Entry& e = slots_[i];
      if (e.name < 0) return nullptr;
      if (e.tag == tag && e.prefix == prefix && (folded.size() <= 8 || sameText(text(e.name), folded))) return &e;
    }
  }
  Entry& intern(std::string_view folded, uint32_t hash);
  Entry& entry(int32_t name) { return slots_[slotOfName_[static_cast<size_t>(name)]]; }
  std::string_view text(int32_t name) const {
    const size_t b = offsets_[static_cast<size_t>(name)];
    return std::string_view(texts_).substr(b, offsets_[static_cast<size_t>(name) + 1] - b);
  }
  int32_t size() const { return static_cast<int32_t>(offsets_.size() - 1); }

  // Row of the name in a scope other than the global one, or -1.
  int32_t findRow(int32_t scope, Entry& e) {
    if (e.cachedScope == scope) return e.cachedRow;
    const int32_t row = e.localRows == 0 || static_cast<size_t>(scope) >= scopes_.size()
                            ? -1
                            : probeRow(scopes_[static_cast<size_t>(scope)], e.name);
    e.cachedScope = scope;
    e.cachedRow = row;
    return row;
  }
  // Rows of the global scope (scope 0) are held in the entry itself.
  void addRow(int32_t scope, Entry& e, int32_t row);

 private:
  struct RowSlot {
    int32_t name = 0;  // name + 1; 0 is empty
    int32_t row = 0;
  };
  // A scope's table: a power-of-two run of slots in rowSlots_.
  struct ScopeTable {
    uint32_t offset = 0;
    uint32_t mask = 0;
    uint32_t count = 0;
  };
  static uint32_t tagOf(std::string_view s, uint32_t hash) {
    return (hash & 0xFFFFFF00u) | static_cast<uint32_t>(s.size() < 255 ? s.size() : 255);
  }
  static uint64_t prefixOf(std::string_view s) {
    uint64_t v = 0;
    if (s.size() >= 8) {
      std::memcpy(&v, s.data(), 8);
    } else {
      for (size_t k = 0; k < s.size(); ++k) v |= static_cast<uint64_t>(static_cast<unsigned char>(s[k])) << (8 * k);
    }
    return v;
  }
  static uint32_t slotOf(int32_t name) { return static_cast<uint32_t>(name) * 0x9E3779B1u; }
  int32_t probeRow(const ScopeTable& t, int32_t name) const;
  void growTable(ScopeTable& t);
  void place(const Entry& e, uint32_t hash);

  std::string texts_;
  std::vector<uint32_t> offsets_{0};
  std::vector<uint32_t> hashes_;      // by name
  std::vector<uint32_t> slotOfName_;  // by name
  BigArray<Entry> slots_;
  uint32_t mask_ = 0;
  std::vector<ScopeTable> scopes_;
  BigArray<RowSlot> rowSlots_;  // every scope's table, one after the other
  std::vector<std::vector<uint32_t>> freeRuns_;  // by log2 of the size: runs given up by growing tables
};

}  // namespace vennik
