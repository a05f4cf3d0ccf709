#include "analysis/keyword_table.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>

#include "analysis/keyword_list.h"
#include "analysis/name_characters.h"
#include "base/utf8_text.h"

namespace vennik {

bool KeywordTable::isKeyword(std::string_view word) const {
  std::string lower(word);
  for (char& c : lower) c = foldAscii(c);
  const WordInfo* info = find(lower, wordHash(lower));
  return info != nullptr && info->keyword;
}

void KeywordTable::index() {
  size_t capacity = 64;
  while (capacity < entries_.size() * 4) capacity *= 2;
  slots_.assign(capacity, Slot{});
  mask_ = static_cast<uint32_t>(capacity - 1);
  for (size_t n = 0; n < entries_.size(); ++n) {
    const uint32_t h = wordHash(entries_[n].text);
    uint32_t i = h & mask_;
    while (slots_[i].entry != 0) i = (i + 1) & mask_;
    slots_[i] = Slot{h, static_cast<uint32_t>(n + 1)};
  }
}

namespace {

constexpr std::string_view kSentinel = "zzzzzzzzzz";
// WordInfo::index is 16 bits wide, and the scanner's special words need
// entries of their own.
constexpr size_t kMostWords = 60000;

using Lines = std::vector<std::string_view>;

KeywordListError fault(size_t line, std::string reason) {
  return KeywordListError{static_cast<int32_t>(line), std::move(reason)};
}

// The lines without their ends, or the first byte no list may hold.
std::variant<Lines, KeywordListError> cutLines(std::string_view text) {
  Lines lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t line = lines.size() + 1;
    if (c == '\n') {
      const size_t end = i > start && text[i - 1] == '\r' ? i - 1 : i;
      lines.push_back(text.substr(start, end - start));
      start = i + 1;
    } else if (c >= 0x80) {
      return fault(line, "holds a byte that is not 7-bit ASCII");
    } else if ((c < 0x20 && !(c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) || c == 0x7F) {
      return fault(line, "holds a control character; words are separated by single blanks");
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool onlyBlanks(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

// Checks a word group's blanks and the characters of its words.
std::optional<KeywordListError> checkGroup(std::string_view group, size_t line, int number) {
  const std::string which = "group " + std::to_string(number);
  if (onlyBlanks(group)) return fault(line, which + " has no words");
  if (group.front() != ' ') return fault(line, which + " must begin with a blank");
  if (number < 3 && group.back() != ' ') return fault(line, which + " must end with a blank");
  if (number == 3) {
    const size_t last = group.rfind(' ');
    if (group.substr(last + 1) != kSentinel) {
      return fault(line, which + " must end with the word " + std::string(kSentinel));
    }
  }
  for (char c : group) {
    if (c != ' ' && c != '(' && !isNameChar(c)) {
      return fault(line, std::string("'") + c +
                             "' stands in a word; keywords hold letters, digits and . _ # @ $ & % ! (");
    }
  }
  return std::nullopt;
}

}  // namespace

struct KeywordListReader {
  static std::variant<KeywordTable, KeywordListError> read(std::string_view text, ContextWords context) {
    auto cut = cutLines(text);
    if (auto* e = std::get_if<KeywordListError>(&cut)) return *e;
    Lines& lines = std::get<Lines>(cut);
    // The first line at fault, in order. The empty line after the last group
    // may be missing, as an editor may drop it.
    for (size_t n = 1; n <= std::max<size_t>(lines.size(), 8); ++n) {
      if (n > lines.size()) {
        if (n == 8) break;
        return fault(n,
                     "the list ends before this line; a keyword list has eight lines: the version, the device "
                     "options, and three word groups each followed by an empty line");
      }
      const std::string_view line = lines[n - 1];
      if (n == 1 && onlyBlanks(line)) return fault(n, "the firmware version is missing");
      if (n == 2 && (line.size() != 24 || line.substr(0, 16) != "mmdeviceoptions " ||
                     line.substr(16).find_first_not_of("01") != std::string_view::npos)) {
        return fault(n, "must be \"mmdeviceoptions\", a blank and eight digits 0 or 1");
      }
      if (n > 8) {
        if (!onlyBlanks(line)) return fault(n, "a keyword list has eight lines");
      } else if (n >= 3 && n % 2 == 1) {
        if (auto e = checkGroup(line, n, static_cast<int>(n / 2))) return *e;
      } else if (n >= 4 && !onlyBlanks(line)) {
        return fault(n, "must be empty; the word groups are lines 3, 5 and 7");
      }
    }
    lines.resize(std::max<size_t>(lines.size(), 8));

    KeywordTable table;
    table.version_ = std::string(lines[0]);
    std::string& joined = table.keywordText_;
    for (size_t n : {3, 5, 7}) joined += lines[n - 1];
    for (char& c : joined) c = foldAscii(c);
    const size_t groupOneEnd = lines[2].size();
    const size_t groupTwoEnd = groupOneEnd + lines[4].size();

    // A keyword has a blank on each side, so the very last word is none.
    std::unordered_map<std::string, size_t> entryOf;
    std::vector<bool> inGroupOne;
    auto entry = [&](std::string_view w) -> WordInfo& {
      auto [it, added] = entryOf.try_emplace(std::string(w), table.entries_.size());
      if (added) {
        table.entries_.push_back({std::string(w), WordInfo{}});
        table.entries_.back().info.index = static_cast<uint16_t>(it->second);
        inGroupOne.push_back(false);
      }
      return table.entries_[it->second].info;
    };
    size_t pos = 0;
    while (pos < joined.size()) {
      const size_t blank = joined.find(' ', pos);
      if (blank == std::string::npos) break;
      if (blank > pos && pos > 0) {
        if (table.entries_.size() >= kMostWords) {
          return fault(pos < groupOneEnd ? 3 : pos < groupTwoEnd ? 5 : 7, "holds too many words");
        }
        const std::string_view w(joined.data() + pos, blank - pos);
        WordInfo& info = entry(w);
        if (!info.keyword) table.words_.emplace_back(w);
        info.keyword = true;
        if (pos < groupOneEnd) inGroupOne[info.index] = true;
      }
      pos = blank + 1;
    }
    if (context == ContextWords::Yes) {
      for (auto& e : table.entries_) {
        e.info.context = !inGroupOne[e.info.index];
        table.hasContextWords_ = table.hasContextWords_ || e.info.context;
      }
    }
    for (std::string_view w : {"dim", "local", "const", "static"}) entry(w).declaration = true;
    for (std::string_view w : {"touch", "gps", "cursor", "sensorfusion", "sprite"}) entry(w).skipNext = true;
    for (std::string_view w : {"text", "caption"}) entry(w).textWord = true;
    for (std::string_view w : {"cm", "ct", "cb", "lt", "lm", "lb", "rt", "rm", "rb"}) entry(w).alignment = true;
    table.index();
    return table;
  }
};

std::variant<KeywordTable, KeywordListError> readKeywordList(std::string_view text, ContextWords context) {
  return KeywordListReader::read(text, context);
}

KeywordTable buildKeywordTable() {
  // The embedded list is in the layout; reading it cannot fail.
  return std::get<KeywordTable>(readKeywordList(kEmbeddedKeywordList, ContextWords::No));
}

}  // namespace vennik
