#include "analysis/definition_lines.h"

#include <array>

#include "base/utf8_text.h"

namespace vennik {

namespace {
bool equalsIgnoringCase(std::string_view field, std::string_view lowerWord) {
  if (field.size() != lowerWord.size()) return false;
  for (size_t i = 0; i < field.size(); ++i) {
    if (foldAscii(field[i]) != lowerWord[i]) return false;
  }
  return true;
}

template <size_t N>
bool isOneOf(std::string_view field, const std::array<std::string_view, N>& words) {
  if (field.empty()) return false;
  for (auto w : words) {
    if (equalsIgnoringCase(field, w)) return true;
  }
  return false;
}

constexpr std::array<std::string_view, 4> kHeaderKinds{"function", "cfunction", "sub", "csub"};
constexpr std::array<std::string_view, 5> kEndKinds{"function", "cfunction", "sub", "csub", "definefont"};
constexpr std::array<std::string_view, 2> kGlobalWords{"dim", "const"};

// The n-th (1-based) blank-separated field, empty when there are fewer.
std::string_view field(std::string_view line, size_t n) {
  size_t start = 0;
  for (size_t k = 1; k < n; ++k) {
    const size_t p = line.find(' ', start);
    if (p == std::string_view::npos) return {};
    start = p + 1;
  }
  const size_t end = line.find(' ', start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

// Most lines start with none of the letters a header, an end or a
// declaration starts with.
bool mayStartWith(std::string_view line, const char* letters) {
  if (line.empty()) return false;
  const char c = foldAscii(line[0]);
  for (const char* p = letters; *p; ++p) {
    if (c == *p) return true;
  }
  return false;
}
}  // namespace

bool isDefinitionHeader(std::string_view line) {
  return mayStartWith(line, "fcs") && isOneOf(field(line, 1), kHeaderKinds);
}

bool isDefinitionEnd(std::string_view line) {
  if (!startsWithIgnoringCase(line, "end ")) return false;
  return isOneOf(field(line, 2), kEndKinds) || isOneOf(field(line, 3), kEndKinds);
}

bool isGlobalDeclaration(std::string_view line) {
  return mayStartWith(line, "dc") && isOneOf(field(line, 1), kGlobalWords);
}

bool startsWithIgnoringCase(std::string_view line, std::string_view lowerPrefix) {
  return line.size() >= lowerPrefix.size() && equalsIgnoringCase(line.substr(0, lowerPrefix.size()), lowerPrefix);
}

std::string_view definitionName(std::string_view line) {
  size_t start = 0;
  for (size_t n = 1; n <= 19; ++n) {
    const size_t blank = line.find(' ', start);
    const size_t end = blank == std::string_view::npos ? line.size() : blank;
    if (n >= 2 && end > start) {
      const std::string_view word = line.substr(start, end - start);
      return word.substr(0, word.find('('));
    }
    if (blank == std::string_view::npos) break;
    start = blank + 1;
  }
  return line.substr(line.size());  // empty, but still a place in the line
}

}  // namespace vennik
