#include "analysis/keyword_table.h"

#include "analysis/keyword_list.h"
#include "base/utf8_text.h"

namespace vennik {

bool KeywordTable::isKeyword(std::string_view word) const {
  std::string lower(word);
  for (char& c : lower) c = foldAscii(c);
  const WordInfo* info = find(lower, wordHash(lower));
  return info != nullptr && info->keyword;
}

WordInfo& KeywordTable::entry(std::string_view lowerWord) {
  for (Entry& e : entries_) {
    if (e.text == lowerWord) return e.info;
  }
  entries_.push_back(Entry{std::string(lowerWord), WordInfo{}});
  entries_.back().info.index = static_cast<uint16_t>(entries_.size() - 1);
  return entries_.back().info;
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

KeywordTable buildKeywordTable() {
  // The list's lines: version, device options, then three word groups each
  // followed by an empty line. Only the groups are read.
  std::string all;
  for (const char* p = kEmbeddedKeywordList; *p != '\0'; ++p) {
    if (*p != '\r') all.push_back(*p);
  }
  KeywordTable table;
  size_t field = 1;
  size_t start = 0;
  for (size_t i = 0; i <= all.size(); ++i) {
    if (i < all.size() && all[i] != '\n') continue;
    if (field == 3 || field == 5 || field == 7) table.keywordText_.append(all, start, i - start);
    ++field;
    start = i + 1;
  }
  for (char& c : table.keywordText_) c = foldAscii(c);

  // A keyword has a blank on each side, so the very last word is none.
  const std::string& text = table.keywordText_;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t blank = text.find(' ', pos);
    if (blank == std::string::npos) break;
    if (blank > pos && pos > 0) {
      const std::string_view w(text.data() + pos, blank - pos);
      WordInfo& info = table.entry(w);
      if (!info.keyword) table.words_.emplace_back(w);
      info.keyword = true;
    }
    pos = blank + 1;
  }
  for (std::string_view w : {"dim", "local", "const", "static"}) table.entry(w).declaration = true;
  for (std::string_view w : {"touch", "gps", "cursor", "sensorfusion", "sprite"}) table.entry(w).skipNext = true;
  for (std::string_view w : {"text", "caption"}) table.entry(w).textWord = true;
  for (std::string_view w : {"cm", "ct", "cb", "lt", "lm", "lb", "rt", "rm", "rb"}) table.entry(w).alignment = true;
  table.index();
  return table;
}

}  // namespace vennik
