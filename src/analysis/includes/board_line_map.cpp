#include "analysis/includes/board_line_map.h"

#include <charconv>

namespace vennik {

namespace {

constexpr std::string_view kHeader = "VennikPlus board line map 1";
// As many lines as an assembled program may have: a larger map is no map
// this program made.
constexpr size_t kMostLines = size_t{8} << 20;

// The next line of `text` from `at`, without its LF.
std::string_view nextLine(std::string_view text, size_t& at) {
  const size_t end = std::min(text.find('\n', at), text.size());
  std::string_view line = text.substr(at, end - at);
  at = end + 1;
  return line;
}

bool readNumber(std::string_view& rest, int64_t& value) {
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (ec != std::errc() || end == rest.data()) return false;
  rest.remove_prefix(static_cast<size_t>(end - rest.data()));
  if (!rest.empty()) {
    if (rest.front() != ' ') return false;
    rest.remove_prefix(1);
  }
  return true;
}

std::optional<BoardLineMap> fail(std::string* problem, std::string why) {
  if (problem) *problem = std::move(why);
  return std::nullopt;
}

}  // namespace

bool isTitleLine(std::string_view firstLine) { return firstLine.starts_with("'#"); }

std::optional<LineOrigin> BoardLineMap::origin(int64_t n, BoardLineCount count) const {
  if (count == BoardLineCount::Memory && titleLine) ++n;
  if (n < 1 || n > static_cast<int64_t>(lines.size())) return std::nullopt;
  return lines[static_cast<size_t>(n - 1)];
}

std::string lineMapText(const BoardLineMap& map) {
  std::string text(kHeader);
  text += "\ntitle ";
  text += map.titleLine ? "1" : "0";
  text += '\n';
  for (const std::string& file : map.files) {
    if (file.find_first_of("\r\n") != std::string::npos) return {};
    text += "file " + file + '\n';
  }
  for (size_t i = 0; i < map.lines.size();) {
    size_t run = 1;
    while (i + run < map.lines.size() && map.lines[i + run].file == map.lines[i].file &&
           map.lines[i + run].line == map.lines[i].line + static_cast<int32_t>(run)) {
      ++run;
    }
    text += "lines " + std::to_string(i + 1) + ' ' + std::to_string(map.lines[i].file) + ' ' +
            std::to_string(map.lines[i].line) + ' ' + std::to_string(run) + '\n';
    i += run;
  }
  return text;
}

std::optional<BoardLineMap> lineMapFromText(std::string_view text, std::string* problem) {
  size_t at = 0;
  if (nextLine(text, at) != kHeader) return fail(problem, "it is no line map of this program's");
  BoardLineMap map;
  const std::string_view title = nextLine(text, at);
  if (title != "title 0" && title != "title 1") return fail(problem, "line 2 is not the title flag");
  map.titleLine = title == "title 1";
  for (int64_t number = 3; at < text.size(); ++number) {
    std::string_view line = nextLine(text, at);
    const std::string where = "line " + std::to_string(number);
    if (line.starts_with("file ")) {
      if (!map.lines.empty()) return fail(problem, where + " names a file after the lines");
      // A CR is a line end the text cannot keep in a path: no map holds one.
      if (line.find('\r') != std::string_view::npos) return fail(problem, where + " holds a CR");
      map.files.emplace_back(line.substr(5));
      continue;
    }
    if (!line.starts_with("lines ")) return fail(problem, where + " is neither a file nor lines");
    std::string_view rest = line.substr(6);
    int64_t first = 0, file = 0, fileLine = 0, run = 0;
    if (!readNumber(rest, first) || !readNumber(rest, file) || !readNumber(rest, fileLine) ||
        !readNumber(rest, run) || !rest.empty()) {
      return fail(problem, where + " is not four numbers");
    }
    if (first != static_cast<int64_t>(map.lines.size()) + 1) return fail(problem, where + " leaves a gap");
    if (file < 0 || file >= static_cast<int64_t>(map.files.size())) return fail(problem, where + " names no file");
    if (run < 1 || fileLine < 1 || run > static_cast<int64_t>(kMostLines - map.lines.size()) ||
        fileLine > INT32_MAX - run) {
      return fail(problem, where + " holds a number out of range");
    }
    for (int64_t k = 0; k < run; ++k) {
      map.lines.push_back({static_cast<int32_t>(file), static_cast<int32_t>(fileLine + k)});
    }
  }
  if (map.files.empty()) return fail(problem, "it names no file");
  return map;
}

}  // namespace vennik
