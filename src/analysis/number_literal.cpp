#include "analysis/number_literal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "base/utf8_text.h"

namespace vennik {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

float leadingFloat(std::string_view s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  const size_t mantissaBegin = i;
  bool anyDigit = false;
  while (i < s.size() && isDigit(s[i])) {
    ++i;
    anyDigit = true;
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) {
      ++i;
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0.0f;
  std::string all(s.substr(mantissaBegin, i - mantissaBegin));
  const bool mantissaZero = all.find_first_of("123456789") == std::string::npos;
  bool negativeExponent = false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    std::string e = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      negativeExponent = s[j] == '-';
      e.push_back(s[j++]);
    }
    if (j < s.size() && isDigit(s[j])) {
      while (j < s.size() && isDigit(s[j])) e.push_back(s[j++]);
      all += e;
    } else {
      negativeExponent = false;
    }
  }
  double value = 0.0;
  auto [ptr, ec] = std::from_chars(all.data(), all.data() + all.size(), value);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // Too large reads as infinity, too small as zero.
    if (mantissaZero) return 0.0f;
    value = negativeExponent ? 0.0 : HUGE_VAL;
  } else if (ec != std::errc()) {
    return 0.0f;
  }
  const float f = value > std::numeric_limits<float>::max() ? std::numeric_limits<float>::infinity()
                                                             : static_cast<float>(value);
  return negative ? -f : f;
}

bool isNumberLiteral(std::string_view word) {
  // Most words are names: one that starts with none of the characters a
  // number, a based literal or a file number can start with is not one.
  const size_t first = word.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  const char c0 = word[first];
  if (!isDigit(c0) && c0 != '.' && c0 != '+' && c0 != '-' && c0 != '&' && c0 != '#') return false;
  // Most numbers are whole ones: with a digit other than 0 first they read
  // as non-zero, however long, and need no conversion.
  if (c0 >= '1' && c0 <= '9' && std::all_of(word.begin() + static_cast<std::ptrdiff_t>(first), word.end(), isDigit)) {
    return true;
  }

  std::string w;
  w.reserve(word.size());
  for (char c : word) {
    if (c != ' ') w.push_back(foldAscii(c));
  }
  if (leadingFloat(w) != 0.0f) return true;
  if (w == "0" || w == "0.0") return true;
  if (w.starts_with("&h") || w.starts_with("&b") || w.starts_with("&o")) return true;
  if (w.starts_with("#")) {
    const std::string_view rest = std::string_view(w).substr(1);
    if (leadingFloat(rest) != 0.0f || rest == "0") return true;
  }
  return false;
}

}  // namespace vennik
