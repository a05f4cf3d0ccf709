#include "base/windows1252_encoding.h"

#include <cstdio>

namespace vennik {

namespace {
// Code points for bytes 0x80 to 0x9F.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

char16_t windows1252ToChar(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kHighControls[b - 0x80];
  return b;
}

Text decodeWindows1252(std::string_view bytes) {
  Text out;
  out.resize(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = windows1252ToChar(static_cast<unsigned char>(bytes[i]));
  return out;
}

std::optional<unsigned char> windows1252Byte(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  // The 32 bytes 0x80 to 0x9F are the only ones that map elsewhere; the five
  // the code page leaves undefined map to themselves.
  for (unsigned b = 0x80; b <= 0x9F; ++b) {
    if (windows1252ToChar(static_cast<unsigned char>(b)) == c) return static_cast<unsigned char>(b);
  }
  return std::nullopt;
}

std::optional<std::string> encodeWindows1252(TextView text, UnencodableCharacter* failure) {
  std::string out;
  out.resize(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c < 0x80) {  // the common case, without the table search
      out[i] = static_cast<char>(c);
      continue;
    }
    if (auto b = windows1252Byte(c)) {
      out[i] = static_cast<char>(*b);
      continue;
    }
    if (failure) {
      char32_t cp = c;
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      }
      *failure = UnencodableCharacter{cp, i + 1};
    }
    return std::nullopt;
  }
  return out;
}

std::string describe(const UnencodableCharacter& c) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "U+%04X at character %zu", static_cast<unsigned>(c.codePoint), c.position);
  return buf;
}

}  // namespace vennik
