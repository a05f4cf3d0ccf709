#pragma once
// An array of plain values that may grow very large (the lines, names and
// occurrences of a program of a million lines). Large arrays are mapped from
// the system directly, in huge pages where it offers them, and grow by
// remapping rather than by copying: on a virtual machine every page touched
// for the first time is costly, and a copy touches twice as many.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <type_traits>
#include <utility>

namespace vennik {

namespace big_memory {
// Threshold in bytes from which memory is mapped rather than allocated.
inline constexpr size_t kMapFrom = size_t{1} << 20;
// Maps `bytes` (rounded up to whole huge pages); nullptr when refused.
void* map(size_t bytes);
// Grows or shrinks a mapping; may move it. nullptr when refused (the old
// mapping is then untouched).
void* remap(void* p, size_t oldBytes, size_t newBytes);
void unmap(void* p, size_t bytes);
// The bytes a mapping of `bytes` really takes.
size_t mappedSize(size_t bytes);
}  // namespace big_memory

template <typename T>
class BigArray {
  static_assert(std::is_trivially_copyable_v<T>, "elements are moved as bytes");

 public:
  BigArray() = default;
  BigArray(const BigArray&) = delete;
  BigArray& operator=(const BigArray&) = delete;
  BigArray(BigArray&& o) noexcept { swap(o); }
  BigArray& operator=(BigArray&& o) noexcept {
    BigArray(std::move(o)).swap(*this);
    return *this;
  }
  ~BigArray() { release(); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  T& back() { return data_[size_ - 1]; }
  std::span<const T> span() const { return {data_, size_}; }

  void push_back(const T& v) {
    if (size_ == capacity_) grow(size_ + 1);
    data_[size_++] = v;
  }
  // New elements are zero (value-initialised for the plain types held here).
  void resize(size_t n) {
    if (n > capacity_) grow(n);
    if (n > size_) std::memset(static_cast<void*>(data_ + size_), 0, (n - size_) * sizeof(T));
    size_ = n;
  }
  // The same without writing the new elements: for memory a read is about to fill.
  void resizeForOverwrite(size_t n) {
    if (n > capacity_) grow(n);
    size_ = n;
  }
  void reserve(size_t n) {
    if (n > capacity_) grow(n);
  }
  void clear() { size_ = 0; }
  void swap(BigArray& o) noexcept {
    std::swap(data_, o.data_);
    std::swap(size_, o.size_);
    std::swap(capacity_, o.capacity_);
    std::swap(mapped_, o.mapped_);
  }

 private:
  void grow(size_t atLeast) {
    size_t capacity = capacity_ ? capacity_ * 2 : 16;
    if (capacity < atLeast) capacity = atLeast;
    if (capacity > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    const size_t bytes = capacity * sizeof(T);
    if (bytes < big_memory::kMapFrom) {
      void* p = std::realloc(data_, bytes);
      if (!p) throw std::bad_alloc();
      data_ = static_cast<T*>(p);
    } else if (mapped_) {
      void* p = big_memory::remap(data_, big_memory::mappedSize(capacity_ * sizeof(T)), bytes);
      if (!p) throw std::bad_alloc();
      data_ = static_cast<T*>(p);
    } else {
      void* p = big_memory::map(bytes);
      if (!p) throw std::bad_alloc();
      if (size_) std::memcpy(p, static_cast<const void*>(data_), size_ * sizeof(T));
      std::free(data_);
      data_ = static_cast<T*>(p);
      mapped_ = true;
    }
    capacity_ = big_memory::mappedSize(bytes) / sizeof(T);
    if (!mapped_) capacity_ = capacity;
  }
  void release() {
    if (mapped_) {
      big_memory::unmap(data_, big_memory::mappedSize(capacity_ * sizeof(T)));
    } else {
      std::free(data_);
    }
    data_ = nullptr;
    size_ = capacity_ = 0;
    mapped_ = false;
  }

  T* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  bool mapped_ = false;
};

}  // namespace vennik
