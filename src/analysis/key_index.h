#pragma once
// Finds rows of the name table by key, ignoring case, in constant time. The
// index holds only row numbers and hashes; the keys themselves are the rows'.
#include <cstdint>
#include <vector>

#include "analysis/text_util.h"

namespace vennik {

// A key given as up to three pieces (scope part, "\ ", name) so that a lookup
// needs no joined text.
struct KeyPieces {
  TextView a, b, c;
  size_t size() const { return a.size() + b.size() + c.size(); }
};

// Case-insensitive hash of texts fed in pieces. A hasher fed a common prefix
// (a line's scope part) can be copied and continued for each word.
struct KeyHasher {
  uint64_t h = 0x9E3779B97F4A7C15ULL;
  uint64_t word = 0;
  unsigned count = 0;
  void add(TextView s);
  uint64_t finish() const;
  void mix() {
    h ^= word;
    h *= 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 31;
  }
};

// Case-insensitive hash of the pieces taken as one text.
uint64_t keyHash(const KeyPieces& key);
uint64_t keyHash(TextView text);
// Whether `stored` equals the pieces, ignoring case.
bool keyEquals(TextView stored, const KeyPieces& key);

class KeyIndex {
 public:
  void clear();
  // Row number stored for a key equal to `key`, or 0. `keyOfRow(r)` gives the
  // key text of row r.
  template <typename KeyOfRow>
  int32_t find(const KeyPieces& key, uint64_t hash, KeyOfRow keyOfRow) const {
    if (slots_.empty()) return 0;
    const auto tag = static_cast<uint32_t>(hash >> 32);
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.row == 0) return 0;
      if (s.tag == tag && keyEquals(keyOfRow(s.row), key)) return s.row;
    }
  }
  // `keyOfRow` gives back the keys of rows already in the index when it
  // grows.
  template <typename KeyOfRow>
  void insert(uint64_t hash, int32_t row, KeyOfRow keyOfRow) {
    if ((count_ + 1) * 2 > slots_.size()) {
      std::vector<Slot> old = grow();
      for (const Slot& s : old) {
        if (s.row != 0) place(keyHash(KeyPieces{keyOfRow(s.row), {}, {}}), s.row);
      }
    }
    place(hash, row);
    ++count_;
  }
  size_t size() const { return count_; }

 private:
  struct Slot {
    uint32_t tag = 0;
    int32_t row = 0;  // 0: empty
  };
  // Doubles the slots and returns the old ones for re-placing.
  std::vector<Slot> grow();
  void place(uint64_t hash, int32_t row);

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

// A set of texts compared ignoring case, looked up without building a text.
class TextSet {
 public:
  TextSet() { texts_.emplace_back(); }
  // False when an equal text (ignoring case) is already in the set.
  bool insert(TextView text);
  bool contains(TextView text) const;
  // The same, with keyHash(text) already at hand.
  bool contains(TextView text, uint64_t hash) const;
  void clear();
  size_t size() const { return texts_.size() - 1; }

 private:
  std::vector<Text> texts_;  // index 0 unused
  KeyIndex index_;
};

}  // namespace vennik
