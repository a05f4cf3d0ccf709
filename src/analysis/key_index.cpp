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

}  // namespace

void KeyHasher::add(TextView s) {
  for (char16_t c : s) {
    word = (word << 16) | fastLower(c);
    if (++count == 4) {
      mix();
      count = 0;
      word = 0;
    }
  }
}

uint64_t KeyHasher::finish() const {
  KeyHasher copy = *this;
  copy.word ^= static_cast<uint64_t>(copy.count) << 62;
  copy.mix();
  copy.h *= 0x94d049bb133111ebULL;
  copy.h ^= copy.h >> 32;
  return copy.h;
}

uint64_t keyHash(const KeyPieces& key) {
  KeyHasher hasher;
  hasher.add(key.a);
  hasher.add(key.b);
  hasher.add(key.c);
  return hasher.finish();
}

uint64_t keyHash(TextView text) {
  KeyHasher hasher;
  hasher.add(text);
  return hasher.finish();
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

bool TextSet::contains(TextView text) const { return contains(text, keyHash(text)); }

bool TextSet::contains(TextView text, uint64_t hash) const {
  const KeyPieces key{text, {}, {}};
  return index_.find(key, hash, [this](int32_t i) { return TextView(texts_[static_cast<size_t>(i)]); }) != 0;
}

void TextSet::clear() {
  texts_.clear();
  texts_.emplace_back();
  index_.clear();
}

}  // namespace vennik
