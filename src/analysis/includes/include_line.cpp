#include "analysis/includes/include_line.h"

#include "analysis/definition_lines.h"

namespace vennik {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view skipBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  return s;
}
}  // namespace

std::optional<IncludeLine> readIncludeLine(std::string_view line) {
  constexpr std::string_view kWord = "#include";
  line = skipBlanks(line);
  if (!startsWithIgnoringCase(line, kWord)) return std::nullopt;
  line.remove_prefix(kWord.size());
  // #INCLUDEX is some other word.
  if (!line.empty() && !isBlank(line.front()) && line.front() != '"' && line.front() != '\'') return std::nullopt;
  line = skipBlanks(line);
  if (line.empty() || line.front() != '"') return IncludeLine{{}, "#INCLUDE names no file in double quotes"};
  const size_t close = line.find('"', 1);
  if (close == std::string_view::npos) return IncludeLine{{}, "the file name after #INCLUDE has no closing quote"};
  const std::string_view path = line.substr(1, close - 1);
  if (skipBlanks(path).empty()) return IncludeLine{{}, "#INCLUDE names no file"};
  const std::string_view rest = skipBlanks(line.substr(close + 1));
  if (!rest.empty() && rest.front() != '\'') return IncludeLine{path, "text after the file name of #INCLUDE"};
  return IncludeLine{path, {}};
}

}  // namespace vennik
