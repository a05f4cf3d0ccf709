#pragma once
// The interpreter's reserved words, and the few other words the scanner
// treats specially. The scanner never records a keyword as a name, except a
// context word that the program uses as a variable.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vennik {

// Hash of a lower-cased word, eight bytes at a time.
inline uint32_t wordHash(std::string_view w) {
  uint64_t h = 0x9E3779B97F4A7C15ULL ^ w.size();
  size_t i = 0;
  for (; i + 8 <= w.size(); i += 8) {
    uint64_t v;
    std::memcpy(&v, w.data() + i, 8);
    h = (h ^ v) * 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 31;
  }
  if (i < w.size()) {
    uint64_t v = 0;
    for (size_t k = 0; i + k < w.size(); ++k) v |= static_cast<uint64_t>(static_cast<unsigned char>(w[i + k])) << (8 * k);
    h = (h ^ v) * 0xbf58476d1ce4e5b9ULL;
    h ^= h >> 31;
  }
  h *= 0x94d049bb133111ebULL;
  return static_cast<uint32_t>(h >> 32);
}

// Whether two short texts are equal; cheaper than a library call for names.
inline bool sameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// What the scanner knows of a word besides its being a name.
struct WordInfo {
  bool keyword = false;
  bool declaration = false;  // dim local const static: the names after it are declared
  bool skipNext = false;     // touch gps cursor sensorfusion sprite: the next word is ignored
  bool textWord = false;     // text caption: alignment codes after it are ignored
  bool alignment = false;    // cm ct cb lt lm lb rt rm rb
  // A keyword only in groups 2 and 3 of a list read with context words: the
  // firmware matches it only inside its command, so a program may use it
  // as a variable.
  bool context = false;
  uint16_t index = 0;        // dense number among these words
};

class KeywordTable {
 public:
  // The three word groups of the list joined, lower-cased.
  const std::string& keywordText() const { return keywordText_; }
  // The list's first line: the firmware version it describes.
  const std::string& version() const { return version_; }
  // Whether some keyword is a context word.
  bool hasContextWords() const { return hasContextWords_; }
  // The distinct keywords in list order.
  const std::vector<std::string>& words() const { return words_; }
  // Whether the word is a keyword, in any case.
  bool isKeyword(std::string_view word) const;

  // The word's entry, or nullptr for a plain name. `lowerWord` is lower
  // case (A to Z folded), `hash` its wordHash.
  const WordInfo* find(std::string_view lowerWord, uint32_t hash) const {
    for (uint32_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.entry == 0) return nullptr;
      if (s.hash == hash) {
        const Entry& e = entries_[s.entry - 1];
        if (sameText(e.text, lowerWord)) return &e.info;
      }
    }
  }
  // Number of words with an entry (the range of WordInfo::index).
  size_t entryCount() const { return entries_.size(); }

 private:
  friend struct KeywordListReader;
  struct Entry {
    std::string text;
    WordInfo info;
  };
  struct Slot {
    uint32_t hash = 0;
    uint32_t entry = 0;  // 1-based; 0 is empty
  };
  void index();

  std::string keywordText_;
  std::string version_;
  bool hasContextWords_ = false;
  std::vector<std::string> words_;
  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
  uint32_t mask_ = 0;
};

// Why a text is not a keyword list: the 1-based line at fault.
struct KeywordListError {
  int32_t line = 0;
  std::string reason;
};

enum class ContextWords { No, Yes };

// Reads a keyword list in the built-in list's layout: eight lines (CR LF or
// LF), the version, "mmdeviceoptions" and eight binary digits, then three
// word groups each followed by an empty line. With ContextWords::Yes the
// words only in groups 2 and 3 are context words.
std::variant<KeywordTable, KeywordListError> readKeywordList(std::string_view text, ContextWords context);

// Builds the table from the embedded list: every word of it is a keyword
// everywhere.
KeywordTable buildKeywordTable();

}  // namespace vennik
