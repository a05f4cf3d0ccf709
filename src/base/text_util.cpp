#include "base/text_util.h"

#include "base/utf8_text.h"

namespace vennik {

char16_t lowerChar(char16_t c) {
  if (c < 0x80) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  }
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  switch (c) {
    case 0x0160: return 0x0161;  // S caron
    case 0x0152: return 0x0153;  // OE ligature
    case 0x017D: return 0x017E;  // Z caron
    case 0x0178: return 0x00FF;  // Y diaeresis
    default: return c;
  }
}

Text lowerText(TextView s) {
  Text out(s);
  for (auto& c : out) c = lowerChar(c);
  return out;
}

Text padOrCut(TextView s, int64_t width) {
  if (width <= 0) return Text();
  auto w = static_cast<size_t>(width);
  if (s.size() >= w) return Text(s.substr(0, w));
  Text out(s);
  out.append(w - s.size(), u' ');
  return out;
}

TextView trimBlanks(TextView s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  return s.substr(b, e - b);
}

Text decimal(int64_t n) {
  Text out;
  appendDecimal(out, n);
  return out;
}

void appendDecimal(Text& out, int64_t n) {
  char16_t buf[24];
  size_t i = sizeof buf / sizeof buf[0];
  // Work on the magnitude as unsigned so that the most negative value is safe.
  uint64_t m = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  do {
    buf[--i] = static_cast<char16_t>(u'0' + m % 10);
    m /= 10;
  } while (m != 0);
  if (n < 0) buf[--i] = u'-';
  out.append(buf + i, sizeof buf / sizeof buf[0] - i);
}

std::vector<TextView> splitFields(TextView s, char16_t sep) {
  std::vector<TextView> out;
  size_t start = 0;
  for (;;) {
    size_t p = s.find(sep, start);
    if (p == TextView::npos) {
      out.push_back(s.substr(start));
      return out;
    }
    out.push_back(s.substr(start, p - start));
    start = p + 1;
  }
}

std::string toUtf8(TextView s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    appendUtf8(out, cp);
  }
  return out;
}

Text fromUtf8(std::string_view s, size_t spare) {
  Text out;
  out.reserve(s.size() + spare);
  size_t i = 0;
  auto cont = [&](size_t k) { return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80; };
  while (i < s.size()) {
    auto b = static_cast<unsigned char>(s[i]);
    uint32_t cp = 0xFFFD;
    size_t len = 1;
    if (b < 0x80) {
      cp = b;
    } else if (b >= 0xC2 && b <= 0xDF && cont(i + 1)) {
      cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && cont(i + 2)) {
      cp = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
           (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
      len = 3;
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    } else if (b >= 0xF0 && b <= 0xF4 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
      cp = ((b & 0x07u) << 18) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 12) |
           ((static_cast<unsigned char>(s[i + 2]) & 0x3Fu) << 6) | (static_cast<unsigned char>(s[i + 3]) & 0x3Fu);
      len = 4;
      if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

Text ascii(std::string_view s) { return Text(s.begin(), s.end()); }

bool startsWith(TextView s, TextView prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

}  // namespace vennik
