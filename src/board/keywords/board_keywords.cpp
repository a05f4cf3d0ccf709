#include "board/keywords/board_keywords.h"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "analysis/name_characters.h"

namespace vennik {

namespace {

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    if (i > start) lines.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  return lines;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// The width of the table's columns. Each column begins with a name, so no
// column begins with a blank; every row but the last holds as many names as
// the first, the last no more; and the cell before a column ends in a blank
// unless its name fills it, which few do. The narrowest such width is the
// table's; a table of a single column has none.
std::optional<size_t> columnWidth(const std::vector<std::string_view>& rows) {
  constexpr size_t kNarrowest = 6;
  constexpr size_t kWidest = 40;
  const auto cellsOf = [](std::string_view row, size_t width) { return (row.size() + width - 1) / width; };
  for (size_t width = kNarrowest; width <= kWidest; ++width) {
    size_t boundaries = 0;
    size_t blankBefore = 0;
    bool fits = true;
    for (size_t r = 0; r < rows.size() && fits; ++r) {
      const std::string_view row = rows[r];
      const size_t cells = cellsOf(row, width);
      fits = r + 1 < rows.size() ? cells == cellsOf(rows[0], width) : cells <= cellsOf(rows[0], width);
      for (size_t at = width; at < row.size() && fits; at += width) {
        ++boundaries;
        fits = row[at] != ' ';
        blankBefore += row[at - 1] == ' ' ? 1 : 0;
      }
    }
    if (fits && boundaries > 0 && blankBefore * 2 >= boundaries) return width;
  }
  return std::nullopt;
}

// "Total of 312 commands": the number.
std::optional<size_t> countIn(std::string_view line) {
  constexpr std::string_view kTotal = "Total of ";
  if (!line.starts_with(kTotal)) return std::nullopt;
  size_t n = 0;
  size_t at = kTotal.size();
  const size_t start = at;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - start < 9) n = n * 10 + (line[at++] - '0');
  if (at == start) return std::nullopt;
  return n;
}

bool isListWord(std::string_view w) {
  if (w.empty()) return false;
  return std::all_of(w.begin(), w.end(), [](char c) { return isNameChar(c) || c == '('; });
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::vector<std::string> wordsOf(std::string_view text) {
  std::vector<std::string> words;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ' ') continue;
    if (i > start) words.emplace_back(text.substr(start, i - start));
    start = i + 1;
  }
  return words;
}

constexpr std::string_view kSentinel = "zzzzzzzzzz";

// Words in order, each once.
class WordGroup {
 public:
  bool add(const std::string& w) {
    if (!seen_.insert(w).second) return false;
    words_.push_back(w);
    return true;
  }
  bool has(const std::string& w) const { return seen_.count(w) != 0; }
  const std::vector<std::string>& words() const { return words_; }

 private:
  std::vector<std::string> words_;
  std::unordered_set<std::string> seen_;
};

std::string joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) {
    if (!out.empty()) out += ' ';
    out += w;
  }
  return out;
}

}  // namespace

std::optional<BoardIdentity> readIdentity(std::string_view text) {
  for (std::string_view line : linesOf(text)) {
    const size_t bar = line.find('|');
    if (bar == std::string_view::npos) continue;
    BoardIdentity id{std::string(trimmed(line.substr(0, bar))), std::string(trimmed(line.substr(bar + 1)))};
    if (id.device.empty() || id.version.empty()) continue;
    return id;
  }
  return std::nullopt;
}

std::variant<std::vector<std::string>, std::string> readNameTable(std::string_view text) {
  std::vector<std::string_view> rows;
  std::optional<size_t> count;
  for (std::string_view line : linesOf(text)) {
    if ((count = countIn(line))) break;
    rows.push_back(line);
  }
  if (!count) return std::string("the table has no count line (\"Total of ...\")");
  const std::optional<size_t> width = columnWidth(rows);
  std::vector<std::string> names;
  for (std::string_view row : rows) {
    std::vector<std::string_view> cells;
    if (width) {
      for (size_t at = 0; at < row.size(); at += *width) cells.push_back(row.substr(at, *width));
    } else {
      // No column width stands out (a row or two): names are apart by two
      // blanks at least, or are alone on their row.
      size_t start = 0;
      for (size_t gap = row.find("  "); gap != std::string_view::npos; gap = row.find("  ", start)) {
        cells.push_back(row.substr(start, gap - start));
        start = row.find_first_not_of(' ', gap);
        if (start == std::string_view::npos) start = row.size();
      }
      cells.push_back(row.substr(start));
    }
    for (std::string_view cell : cells) {
      cell = trimmed(cell);
      constexpr std::string_view kSecondary = " (*)";
      if (cell.ends_with(kSecondary)) cell = trimmed(cell.substr(0, cell.size() - kSecondary.size()));
      if (!cell.empty()) names.emplace_back(cell);
    }
  }
  // Some firmware counts an entry it keeps from the table (a sentinel, a
  // hidden command); a lost row loses more.
  constexpr size_t kUncounted = 2;
  if (names.size() > *count || names.size() + kUncounted < *count) {
    return "the table counts " + std::to_string(*count) + " names but holds " + std::to_string(names.size()) +
           " (a line lost on the way?)";
  }
  return names;
}

std::string_view shippedListFor(std::string_view device) {
  const std::string d = lower(device);
  if (d.find("picomite") != std::string::npos || d.find("webmite") != std::string::npos) return "picomite";
  if (d.starts_with("colour maximite 2") || d == "cmm2") return "cmm2";
  if (d == "mmb4l") return "mmb4l";
  if (d == "mmbasic for windows" || d == "mmb4w") return "mmb4w";
  if (d.find("micromite") != std::string::npos || d.find("maximite") != std::string::npos ||
      d.find("armmite") != std::string::npos) {
    return "micromite";
  }
  return {};
}

BoardKeywordList composeKeywordList(const std::vector<std::string>& names, std::string_view firstLine,
                                    std::string_view shippedGroupTwo, std::string_view shippedGroupThree) {
  BoardKeywordList list;
  WordGroup one;
  WordGroup fromBoard;
  std::set<std::string> dropped;
  for (const std::string& name : names) {
    const std::vector<std::string> words = wordsOf(lower(name));
    for (size_t i = 0; i < words.size(); ++i) {
      std::string w = words[i];
      if (!isListWord(w)) {
        dropped.insert(name);
        continue;
      }
      if (i > 0) {
        fromBoard.add(w);
        continue;
      }
      one.add(w);
      if (w.ends_with('(')) {
        w.pop_back();
        if (isListWord(w)) one.add(w);
      }
      if (w.ends_with('$')) {
        w.pop_back();
        if (isListWord(w)) one.add(w);
      }
    }
  }
  WordGroup two;
  WordGroup three;
  for (const std::string& w : wordsOf(shippedGroupTwo)) {
    if (!one.has(w) && two.add(w)) ++list.fromShipped;
  }
  std::vector<std::string> added;
  for (const std::string& w : fromBoard.words()) {
    if (!one.has(w) && !two.has(w)) added.push_back(w);
  }
  std::sort(added.begin(), added.end());
  for (const std::string& w : added) two.add(w);
  list.fromBoard = added.size();
  for (const std::string& w : wordsOf(shippedGroupThree)) {
    if (w != kSentinel && !one.has(w) && !two.has(w) && three.add(w)) ++list.fromShipped;
  }
  list.groupOne = one.words().size();
  list.dropped.assign(dropped.begin(), dropped.end());

  const std::string_view end = "\r\n";
  list.text = std::string(firstLine) + std::string(end) + "mmdeviceoptions 01011011" + std::string(end);
  list.text += "   " + joined(one.words()) + "   " + std::string(end) + std::string(end);
  list.text += " " + joined(two.words()) + " " + std::string(end) + std::string(end);
  const std::string groupThree = joined(three.words());
  list.text += " " + groupThree + (groupThree.empty() ? "" : " ") + std::string(kSentinel) + std::string(end) +
               std::string(end);
  return list;
}

std::string listLineText(std::string_view text, size_t longest) {
  std::string out;
  for (char c : text.substr(0, longest)) {
    const auto byte = static_cast<unsigned char>(c);
    out += byte >= 0x20 && byte < 0x7F ? c : '?';
  }
  return out;
}

}  // namespace vennik
