#include "analysis/key_index.h"

namespace vennik {

namespace {
// Lower-casing table for the first 256 code units; the rest go through lowerChar.
struct LowerTable {
  char16_t map[256];
  LowerTable() {
    for (int c = 0; c < 256; ++c) map[c] = lowerChar(static_cast<char16_t>(c));
  }
};
const LowerTable kLower;

inline char16_t fastLower(char16_t c) { return c < 256 ? kLower.map[c] : lowerChar(c); }

inline void hashPiece(uint64_t& h, TextView s) {
  for (char16_t c : s) {
    h ^= fastLower(c);
    h *= 0x100000001b3ULL;
  }
}
}  // namespace

uint64_t keyHash(const KeyPieces& key) {
  uint64_t h = 0xcbf29ce484222325ULL;
  hashPiece(h, key.a);
  hashPiece(h, key.b);
  hashPiece(h, key.c);
  // Spread the low bits, which pick the slot.
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ULL;
  h ^= h >> 32;
  return h;
}

bool keyEquals(TextView stored, const KeyPieces& key) {
  if (stored.size() != key.size()) return false;
  size_t i = 0;
  for (TextView piece : {key.a, key.b, key.c}) {
    for (char16_t c : piece) {
      if (fastLower(stored[i++]) != fastLower(c)) return false;
    }
  }
  return true;
}

void KeyIndex::clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  mask_ = 0;
  count_ = 0;
}

std::vector<KeyIndex::Slot> KeyIndex::grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  size_t capacity = old.empty() ? 64 : old.size() * 2;
  slots_.assign(capacity, Slot{});
  mask_ = capacity - 1;
  return old;
}

void KeyIndex::place(uint64_t hash, int32_t row) {
  size_t i = hash & mask_;
  while (slots_[i].row != 0) i = (i + 1) & mask_;
  slots_[i] = Slot{static_cast<uint32_t>(hash >> 32), row};
}

bool TextSet::insert(TextView text) {
  const KeyPieces key{text, {}, {}};
  const uint64_t hash = keyHash(key);
  if (index_.find(key, hash, [this](int32_t i) { return TextView(texts_[static_cast<size_t>(i)]); }) != 0) return false;
  texts_.emplace_back(text);
  index_.insert(hash, static_cast<int32_t>(texts_.size() - 1),
                [this](int32_t i) { return TextView(texts_[static_cast<size_t>(i)]); });
  return true;
}

bool TextSet::contains(TextView text) const {
  const KeyPieces key{text, {}, {}};
  return index_.find(key, keyHash(key), [this](int32_t i) { return TextView(texts_[static_cast<size_t>(i)]); }) != 0;
}

void TextSet::clear() {
  texts_.clear();
  texts_.emplace_back();
  index_.clear();
}

}  // namespace vennik
