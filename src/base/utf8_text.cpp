#include "base/utf8_text.h"

#include <charconv>

namespace vennik {

namespace {
// Length of the UTF-8 sequence a lead byte starts (1 for anything unusual).
size_t sequenceLength(unsigned char c) {
  if (c >= 0xF0 && c <= 0xF7) return 4;
  if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
  if (c >= 0xC0) return 2;
  return 1;
}

char32_t decodeAt(std::string_view s, size_t i, size_t n) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (n == 1) return c;
  char32_t cp = c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

bool wholeSequence(std::string_view s, size_t i, size_t n) {
  if (i + n > s.size()) return false;
  for (size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
  }
  return true;
}

void appendCodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The lower-case letter of a Windows-1252 upper-case letter, else the same.
char32_t lowerOf(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x160: return 0x161;  // S with caron
    case 0x152: return 0x153;  // OE
    case 0x17D: return 0x17E;  // Z with caron
    case 0x178: return 0xFF;   // Y with diaeresis
    default: return c;
  }
}
}  // namespace

std::string foldCase(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(foldAscii(static_cast<char>(c)));
      ++i;
      continue;
    }
    const size_t n = sequenceLength(c);
    if (n < 2 || !wholeSequence(s, i, n)) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    const char32_t cp = decodeAt(s, i, n);
    const char32_t lower = lowerOf(cp);
    if (lower == cp) {
      out.append(s.substr(i, n));
    } else {
      appendCodePoint(out, lower);
    }
    i += n;
  }
  return out;
}

void appendPaddedUtf8(std::string& out, std::string_view s, size_t width) {
  size_t units = 0;
  size_t i = 0;
  while (i < s.size() && units < width) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : sequenceLength(c);
    if (n > 1 && !wholeSequence(s, i, n)) n = 1;
    const size_t u = n == 4 ? 2 : 1;
    if (units + u > width) {
      out += "\xEF\xBF\xBD";  // only half of a surrogate pair would fit
      ++units;
      break;
    }
    out.append(s.substr(i, n));
    units += u;
    i += n;
  }
  if (units < width) out.append(width - units, ' ');
}

void appendDecimalUtf8(std::string& out, int64_t n) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

}  // namespace vennik
