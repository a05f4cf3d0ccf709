#pragma once
// UTF-8 text as the analysis holds it. Lengths and columns shown to the user
// count UTF-16 code units ("characters"), as every text the program shows
// was counted before; names are ASCII, so most texts need no decoding.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vennik {

// UTF-16 code units of a UTF-8 text: a four-byte sequence counts two, a
// continuation byte nothing, any other byte one (so stray bytes count once).
inline size_t utf16Length(std::string_view s) {
  size_t units = 0;
  for (unsigned char c : s) units += (c & 0xC0) == 0x80 ? 0 : (c >= 0xF0 ? 2 : 1);
  return units;
}

// The byte offset in `s` of a column counted as utf16Length counts: the start
// of the character the column falls on, or the length of `s` past its end.
inline size_t byteOffsetOfUtf16Column(std::string_view s, size_t units) {
  size_t seen = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if ((c & 0xC0) == 0x80) continue;
    const size_t u = c >= 0xF0 ? 2 : 1;
    if (seen + u > units) return i;
    seen += u;
  }
  return s.size();
}

inline bool isAscii(std::string_view s) {
  // Whole sources pass here: 64 bytes at a time.
  const char* p = s.data();
  const size_t n = s.size();
  size_t i = 0;
  for (; i + 64 <= n; i += 64) {
    uint64_t any = 0;
    for (size_t k = 0; k < 64; k += 8) {
      uint64_t v;
      std::memcpy(&v, p + i + k, 8);
      any |= v;
    }
    if (any & 0x8080808080808080ULL) return false;
  }
  for (; i < n; ++i) {
    if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
  }
  return true;
}

// Folds for comparing names without regard to case: A to Z and the upper-case
// letters of Windows-1252 become lower case, everything else stays.
std::string foldCase(std::string_view s);

inline char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Appends `s` cut or padded with blanks to exactly `width` UTF-16 units. A
// character that the cut would split in two is written as U+FFFD.
void appendPaddedUtf8(std::string& out, std::string_view s, size_t width);

// Appends one code point in UTF-8.
void appendUtf8(std::string& out, char32_t cp);

// Appends the decimal form of n.
void appendDecimalUtf8(std::string& out, int64_t n);

}  // namespace vennik
