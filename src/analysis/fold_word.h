#pragma once
// Words lower-cased the way names are compared: A to Z only, eight bytes at a
// time where the word has them, since every word of a program passes here.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/utf8_text.h"

namespace vennik {

// Eight bytes with A to Z lower-cased.
inline uint64_t foldAscii8(uint64_t x) {
  constexpr uint64_t ones = 0x0101010101010101ULL;
  const uint64_t heptets = x & (0x7F * ones);
  const uint64_t fromA = heptets + (0x80 - 'A') * ones;
  const uint64_t pastZ = heptets + (0x80 - 'Z' - 1) * ones;
  const uint64_t upper = fromA & ~pastZ & ~x & (0x80 * ones);
  return x | upper >> 2;
}

// Writes the n bytes at `in` lower-cased to `out`.
inline void foldAsciiInto(const char* in, size_t n, char* out) {
  size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    uint64_t x;
    std::memcpy(&x, in + k, 8);
    x = foldAscii8(x);
    std::memcpy(out + k, &x, 8);
  }
  for (; k < n; ++k) out[k] = foldAscii(in[k]);
}

// Whether `raw` lower-cased is `folded`.
inline bool foldsTo(std::string_view raw, std::string_view folded) {
  const size_t n = raw.size();
  if (n != folded.size()) return false;
  size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    uint64_t x, y;
    std::memcpy(&x, raw.data() + k, 8);
    std::memcpy(&y, folded.data() + k, 8);
    if (foldAscii8(x) != y) return false;
  }
  for (; k < n; ++k) {
    if (foldAscii(raw[k]) != folded[k]) return false;
  }
  return true;
}

}  // namespace vennik
