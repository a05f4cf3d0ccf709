#include "settings/store/settings_document.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vennik {

namespace {

bool isBlankOrTab(char16_t c) { return c == u' ' || c == u'\t'; }

TextView skipBlanksAndTabs(TextView s) {
  size_t i = 0;
  while (i < s.size() && isBlankOrTab(s[i])) ++i;
  return s.substr(i);
}

TextView dropTrailingBlanksAndTabs(TextView s) {
  size_t n = s.size();
  while (n > 0 && isBlankOrTab(s[n - 1])) --n;
  return s.substr(0, n);
}

bool equalsIgnoringAsciiCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (foldAsciiUpper(a[i]) != foldAsciiUpper(b[i])) return false;
  }
  return true;
}

Text decodeSettingsBytes(std::string_view bytes) {
  if (bytes.size() > 2 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return fromUtf8(bytes.substr(3));
  Text t;
  t.reserve(bytes.size());
  for (char b : bytes) t.push_back(static_cast<unsigned char>(b));
  return t;
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

SettingsDocument::SettingsDocument(std::string_view bytes) : text_(decodeSettingsBytes(bytes)) {}

std::optional<Text> SettingsDocument::value(TextView group, TextView key) const {
  const TextView text(text_);
  bool inGroup = false;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(u"\r\n", start);
    if (end == TextView::npos) end = text.size();
    const TextView line = skipBlanksAndTabs(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[') {
      // Only the first matching group is searched, up to the next header.
      if (inGroup) return std::nullopt;
      // The name runs to the first "]" and is not trimmed.
      const size_t close = line.find(u']');
      inGroup = equalsIgnoringAsciiCase(line.substr(1, close == TextView::npos ? TextView::npos : close - 1), group);
    } else if (inGroup) {
      const size_t eq = line.find(u'=');
      if (!equalsIgnoringAsciiCase(dropTrailingBlanksAndTabs(line.substr(0, eq)), key)) continue;
      return eq == TextView::npos ? Text() : Text(skipBlanksAndTabs(line.substr(eq + 1)));
    }
  }
  return std::nullopt;
}

int32_t settingsInteger(TextView value) {
  TextView s = skipBlanksAndTabs(value);
  bool negative = false;
  if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
    negative = s.front() == u'-';
    s.remove_prefix(1);
  }
  int64_t n = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (char16_t c : s) {
    if (!isDigit(c)) break;
    n = std::min<int64_t>(n * 10 + (c - u'0'), kLimit);
  }
  if (negative) n = -n;
  return static_cast<int32_t>(
      std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

float settingsFloat(TextView value) {
  TextView s = skipBlanksAndTabs(value);
  bool negative = false;
  if (!s.empty() && (s.front() == u'+' || s.front() == u'-')) {
    negative = s.front() == u'-';
    s.remove_prefix(1);
  }
  const float sign = negative ? -1.0f : 1.0f;
  const Text lower = lowerText(s.substr(0, 8));
  if (lower == u"infinity") return sign * std::numeric_limits<float>::infinity();
  if (lower.substr(0, 3) == u"nan") return std::numeric_limits<float>::quiet_NaN();

  // Copy the leading number in ASCII: digits, "." and fraction, exponent.
  std::string number;
  size_t i = 0;
  auto takeDigits = [&] {
    while (i < s.size() && isDigit(s[i])) number.push_back(static_cast<char>(s[i++]));
  };
  takeDigits();
  if (i < s.size() && s[i] == u'.') {
    number.push_back('.');
    ++i;
    takeDigits();
  }
  if (number.empty() || number == ".") return negative ? -0.0f : 0.0f;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) ++j;
    if (j < s.size() && isDigit(s[j])) {
      number.push_back('e');
      for (size_t k = i + 1; k < j; ++k) number.push_back(static_cast<char>(s[k]));
      i = j;
      takeDigits();
    }
  }
  double d = 0.0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), d);
  if (ec == std::errc::result_out_of_range) {
    // Too large gives infinity, too small zero.
    const size_t e = number.find('e');
    const bool tiny = e != std::string::npos && e + 1 < number.size() && number[e + 1] == '-';
    d = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  if (d > std::numeric_limits<float>::max()) return sign * std::numeric_limits<float>::infinity();
  return sign * static_cast<float>(d);
}

Text settingsText(TextView value) { return Text(dropTrailingBlanksAndTabs(skipBlanksAndTabs(value))); }

}  // namespace vennik
