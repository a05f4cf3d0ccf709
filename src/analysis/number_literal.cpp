#include "analysis/number_literal.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vennik {

namespace {
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
}  // namespace

float leadingFloat(TextView s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  std::string mantissa;
  bool anyDigit = false;
  while (i < s.size() && isDigit(s[i])) {
    mantissa.push_back(static_cast<char>(s[i++]));
    anyDigit = true;
  }
  if (i < s.size() && s[i] == u'.') {
    mantissa.push_back('.');
    ++i;
    while (i < s.size() && isDigit(s[i])) {
      mantissa.push_back(static_cast<char>(s[i++]));
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0.0f;
  std::string exponent;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    size_t j = i + 1;
    std::string e = "e";
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) e.push_back(static_cast<char>(s[j++]));
    if (j < s.size() && isDigit(s[j])) {
      while (j < s.size() && isDigit(s[j])) e.push_back(static_cast<char>(s[j++]));
      exponent = e;
    }
  }
  std::string all = mantissa + exponent;
  double value = 0.0;
  auto [ptr, ec] = std::from_chars(all.data(), all.data() + all.size(), value);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // Too large reads as infinity, too small as zero.
    bool mantissaZero = mantissa.find_first_of("123456789") == std::string::npos;
    if (mantissaZero) return 0.0f;
    bool negativeExponent = exponent.size() > 1 && exponent[1] == '-';
    value = negativeExponent ? 0.0 : HUGE_VAL;
  } else if (ec != std::errc()) {
    return 0.0f;
  }
  float f = value > std::numeric_limits<float>::max() ? std::numeric_limits<float>::infinity()
                                                      : static_cast<float>(value);
  return negative ? -f : f;
}

bool isNumberLiteral(TextView word) {
  // Most words are names: one that starts with none of the characters a
  // number, a based literal or a file number can start with is not one.
  size_t first = word.find_first_not_of(u' ');
  if (first == TextView::npos) return false;
  char16_t c0 = word[first];
  if (!isDigit(c0) && c0 != u'.' && c0 != u'+' && c0 != u'-' && c0 != u'&' && c0 != u'#') return false;

  Text w;
  w.reserve(word.size());
  for (char16_t c : word) {
    if (c != u' ') w.push_back(lowerChar(c));
  }
  if (leadingFloat(w) != 0.0f) return true;
  if (w == u"0" || w == u"0.0") return true;
  if (startsWith(w, u"&h") || startsWith(w, u"&b") || startsWith(w, u"&o")) return true;
  if (startsWith(w, u"#")) {
    TextView rest = TextView(w).substr(1);
    if (leadingFloat(rest) != 0.0f || rest == u"0") return true;
  }
  return false;
}

}  // namespace vennik
