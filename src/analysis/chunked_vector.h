#pragma once
// A growable array in fixed chunks: growing never moves or copies the
// elements already held (no transient double size), and indexing costs one
// look-up in a small chunk table that stays in cache.
#include <cstddef>
#include <memory>
#include <vector>

namespace vennik {

template <typename T, size_t ChunkBits = 12>
class ChunkedVector {
 public:
  static constexpr size_t kChunk = size_t{1} << ChunkBits;

  T& operator[](size_t i) { return chunks_[i >> ChunkBits][i & (kChunk - 1)]; }
  const T& operator[](size_t i) const { return chunks_[i >> ChunkBits][i & (kChunk - 1)]; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void resize(size_t n) {
    while (chunks_.size() * kChunk < n) chunks_.push_back(std::make_unique<T[]>(kChunk));
    // Elements dropped by a shrink are reset so that a later growth finds
    // them as new.
    for (size_t i = n; i < size_; ++i) (*this)[i] = T();
    size_ = n;
  }
  T& emplace_back() {
    resize(size_ + 1);
    return (*this)[size_ - 1];
  }
  void clear() {
    chunks_.clear();
    size_ = 0;
  }
  void shrink_to_fit() { chunks_.shrink_to_fit(); }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;
  size_t size_ = 0;
};

}  // namespace vennik
