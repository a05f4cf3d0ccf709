#include "analysis/line_tests.h"

#include <array>

namespace vennik {

namespace {
bool equalsIgnoringCase(TextView field, TextView lowerWord) {
  if (field.size() != lowerWord.size()) return false;
  for (size_t i = 0; i < field.size(); ++i) {
    if (lowerChar(field[i]) != lowerWord[i]) return false;
  }
  return true;
}

template <size_t N>
bool isOneOf(TextView field, const std::array<TextView, N>& words) {
  if (field.empty()) return false;
  for (auto w : words) {
    if (equalsIgnoringCase(field, w)) return true;
  }
  return false;
}

constexpr std::array<TextView, 4> kHeaderKinds{u"function", u"cfunction", u"sub", u"csub"};
constexpr std::array<TextView, 5> kEndKinds{u"function", u"cfunction", u"sub", u"csub", u"definefont"};
constexpr std::array<TextView, 2> kGlobalWords{u"dim", u"const"};

// The n-th (1-based) blank-separated field of a line, empty when there are
// fewer fields.
TextView field(TextView line, size_t n) {
  size_t start = 0;
  for (size_t k = 1; k < n; ++k) {
    size_t p = line.find(u' ', start);
    if (p == TextView::npos) return TextView();
    start = p + 1;
  }
  size_t end = line.find(u' ', start);
  return line.substr(start, end == TextView::npos ? TextView::npos : end - start);
}
}  // namespace

bool isDefinitionHeader(TextView line) { return isOneOf(field(line, 1), kHeaderKinds); }

bool isDefinitionEnd(TextView line) {
  if (line.size() < 4 || !equalsIgnoringCase(line.substr(0, 4), u"end ")) return false;
  return isOneOf(field(line, 2), kEndKinds) || isOneOf(field(line, 3), kEndKinds);
}

bool isGlobalDeclaration(TextView line) { return isOneOf(field(line, 1), kGlobalWords); }

Text definitionName(TextView line) {
  auto fields = splitFields(line, u' ');
  for (size_t n = 2; n <= 19 && n <= fields.size(); ++n) {
    TextView word = trimBlanks(fields[n - 1]);
    if (word.empty()) continue;
    size_t paren = word.find(u'(');
    return Text(paren == TextView::npos ? word : word.substr(0, paren));
  }
  return Text();
}

}  // namespace vennik
