#pragma once
// A long list of plain values kept in chunks of up to 2 MB (one huge page),
// so that a reader that goes through it in order can give the chunks back
// as it is done with them: a list copied into another shape is then not
// held whole in both for long.
#include <cstddef>
#include <vector>

#include "base/big_array.h"

namespace vennik {

template <typename T>
class ChunkedArray {
  static constexpr size_t chunkShift() {
    size_t k = 0;
    while ((size_t{2} << k) * sizeof(T) <= (size_t{2} << 20)) ++k;
    return k;
  }

 public:
  static constexpr size_t kShift = chunkShift();
  static constexpr size_t kPerChunk = size_t{1} << kShift;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void push_back(const T& v) {
    if ((size_ & (kPerChunk - 1)) == 0 && size_ == chunks_.size() * kPerChunk) {
      chunks_.emplace_back();
      if (chunks_.size() > 1) chunks_.back().reserve(kPerChunk);  // a long list: whole chunks from now on
    }
    chunks_.back().push_back(v);
    ++size_;
  }
  T& operator[](size_t i) { return chunks_[i >> kShift][i & (kPerChunk - 1)]; }
  const T& operator[](size_t i) const { return chunks_[i >> kShift][i & (kPerChunk - 1)]; }

  // Gives back every chunk that lies wholly before element i; those
  // elements are not to be read again.
  void releaseBefore(size_t i) {
    for (size_t c = 0; c < (i >> kShift) && c < chunks_.size(); ++c) BigArray<T>().swap(chunks_[c]);
  }
  void clear() {
    chunks_.clear();
    size_ = 0;
  }

 private:
  // Every chunk but the last is full. The first grows as a BigArray does, so
  // that a short list takes no more than it needs.
  std::vector<BigArray<T>> chunks_;
  size_t size_ = 0;
};

}  // namespace vennik
