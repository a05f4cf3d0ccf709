#include "base/source_encoding.h"

#include <cstring>

#include "base/utf8_text.h"
#include "base/windows1252_encoding.h"

namespace vennik {

namespace {
char32_t windows1252(unsigned char b) { return windows1252ToChar(b); }
}  // namespace

namespace {
bool startsWithUtf16Mark(std::string_view bytes) {
  return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}
}  // namespace

size_t utf8MarkLength(std::string_view bytes) { return bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0; }

void dropUtf8Mark(BigArray<char>& bytes) {
  const size_t mark = utf8MarkLength({bytes.data(), bytes.size()});
  if (mark == 0) return;
  std::memmove(bytes.data(), bytes.data() + mark, bytes.size() - mark);
  bytes.resizeForOverwrite(bytes.size() - mark);
}

BigArray<char> sourceBytesToUtf8(BigArray<char> bytes) {
  dropUtf8Mark(bytes);
  const std::string_view view(bytes.data(), bytes.size());
  if (!startsWithUtf16Mark(view) && isAscii(view)) return bytes;
  const std::string utf8 = sourceBytesToUtf8(std::string(view));
  BigArray<char> out;
  out.resizeForOverwrite(utf8.size());
  if (!utf8.empty()) std::memcpy(out.data(), utf8.data(), utf8.size());
  return out;
}

std::string sourceBytesToUtf8(std::string bytes) {
  bytes.erase(0, utf8MarkLength(bytes));
  const bool little = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
  const bool big = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
  if (!little && !big) {
    if (isAscii(bytes)) return bytes;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char b : bytes) appendUtf8(out, windows1252(b));
    return out;
  }
  std::string out;
  out.reserve(bytes.size());
  size_t i = 2;
  auto unit = [&](size_t at) -> char16_t {
    const auto lo = static_cast<unsigned char>(bytes[little ? at : at + 1]);
    const auto hi = static_cast<unsigned char>(bytes[little ? at + 1 : at]);
    return static_cast<char16_t>(lo | (hi << 8));
  };
  for (; i + 1 < bytes.size(); i += 2) {
    const char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const char16_t v = unit(i + 2);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (v - 0xDC00));
        i += 2;
        continue;
      }
    }
    // An unpaired surrogate cannot be written in UTF-8.
    appendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
  }
  // An odd last byte is kept as a character rather than silently dropped.
  if (i < bytes.size()) appendUtf8(out, windows1252(static_cast<unsigned char>(bytes[i])));
  return out;
}

}  // namespace vennik

namespace vennik {

Text decodeSourceBytes(std::string_view bytes) { return fromUtf8(sourceBytesToUtf8(std::string(bytes))); }

}  // namespace vennik
