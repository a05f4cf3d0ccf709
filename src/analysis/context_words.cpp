#include "analysis/context_words.h"

#include <string>
#include <string_view>

#include "analysis/fold_word.h"
#include "analysis/name_characters.h"

namespace vennik {

namespace {

// A word, or one character of punctuation (a string stands as one '"').
struct Token {
  std::string_view text;
  bool word = false;
  bool is(char c) const { return !word && text.size() == 1 && text[0] == c; }
};

class ContextNameFinder {
 public:
  ContextNameFinder(const KeywordTable& keywords, std::vector<uint8_t>& used) : keywords_(keywords), used_(used) {}

  // Cuts the line into statements at ":", THEN and ELSE, outside strings,
  // up to a comment.
  void readLine(std::string_view line) {
    tokens_.clear();
    bool firstStatement = true;
    const size_t n = line.size();
    for (size_t i = 0; i < n;) {
      const char c = line[i];
      if (isNameChar(c)) {
        size_t e = i + 1;
        while (e < n && isNameChar(line[e])) ++e;
        const std::string_view w = line.substr(i, e - i);
        i = e;
        if (isWord(w, "then") || isWord(w, "else")) {
          endStatement();
          firstStatement = false;
        } else if (tokens_.empty() && isWord(w, "rem")) {
          return;
        } else {
          tokens_.push_back({w, true});
        }
        continue;
      }
      if (c == '\'') break;
      if (c == ':') {
        // "start:" at the line's start defines a label of that name.
        if (firstStatement && tokens_.size() == 1 && tokens_[0].word && isNameChar(line[i - 1])) {
          mark(tokens_[0].text);
        }
        endStatement();
        firstStatement = false;
      } else if (c == '"') {
        const size_t close = line.find('"', i + 1);
        tokens_.push_back({line.substr(i, 1), false});
        if (close == std::string_view::npos) break;
        i = close;
      } else if (c != ' ' && c != '\t') {
        tokens_.push_back({line.substr(i, 1), false});
      }
      ++i;
    }
    endStatement();
  }

 private:
  static bool isWord(std::string_view w, std::string_view lower) {
    if (w.size() != lower.size()) return false;
    for (size_t k = 0; k < w.size(); ++k) {
      if (foldAscii(w[k]) != lower[k]) return false;
    }
    return true;
  }

  void endStatement() {
    statement();
    tokens_.clear();
  }

  void statement() {
    size_t i = 0;
    // A line number, then LET.
    if (i < tokens_.size() && tokens_[i].word && tokens_[i].text[0] >= '0' && tokens_[i].text[0] <= '9') ++i;
    if (i < tokens_.size() && tokens_[i].word && isWord(tokens_[i].text, "let")) ++i;
    if (i >= tokens_.size() || !tokens_[i].word) return;
    const std::string_view first = tokens_[i].text;
    if (isWord(first, "dim") || isWord(first, "local") || isWord(first, "static")) {
      size_t from = i + 1;
      // DIM INTEGER a, b: the type comes first.
      if (from + 1 < tokens_.size() && tokens_[from + 1].word &&
          (isWord(tokens_[from].text, "integer") || isWord(tokens_[from].text, "float") ||
           isWord(tokens_[from].text, "string"))) {
        ++from;
      }
      declared(from);
    } else if (isWord(first, "const")) {
      declared(i + 1);
    } else if (isWord(first, "for")) {
      if (i + 1 < tokens_.size() && tokens_[i + 1].word) mark(tokens_[i + 1].text);
    } else if (isWord(first, "sub") || isWord(first, "function")) {
      if (i + 1 < tokens_.size() && tokens_[i + 1].word) mark(tokens_[i + 1].text);
      parameters(i + 2);
    } else {
      assigned(i);
    }
  }

  // The first word, and each word after a comma, outside brackets.
  void declared(size_t from) {
    int depth = 0;
    bool expectName = true;
    for (size_t k = from; k < tokens_.size(); ++k) {
      const Token& t = tokens_[k];
      if (t.word) {
        if (expectName && depth == 0) mark(t.text);
        expectName = false;
      } else if (t.is('(')) {
        ++depth;
      } else if (t.is(')')) {
        --depth;
      } else if (t.is(',') && depth == 0) {
        expectName = true;
      }
    }
  }

  // SUB name(a, b AS INTEGER) and SUB name a, b.
  void parameters(size_t from) {
    int depth = 0;
    bool expectName = true;
    for (size_t k = from; k < tokens_.size(); ++k) {
      const Token& t = tokens_[k];
      if (t.word) {
        if (expectName && depth <= 1) mark(t.text);
        expectName = false;
      } else if (t.is('(')) {
        if (++depth == 1) expectName = true;
      } else if (t.is(')')) {
        --depth;
      } else if (t.is(',') && depth <= 1) {
        expectName = true;
      }
    }
  }

  // name = ..., name(index) = ..., and the forms like name += ....
  void assigned(size_t at) {
    size_t k = at + 1;
    if (k < tokens_.size() && tokens_[k].is('(')) {
      int depth = 0;
      for (; k < tokens_.size(); ++k) {
        if (tokens_[k].is('(')) ++depth;
        if (tokens_[k].is(')') && --depth == 0) break;
      }
      ++k;
    }
    if (k < tokens_.size() && !tokens_[k].word && tokens_[k].text.find_first_of("+-*/") == 0 &&
        k + 1 < tokens_.size()) {
      ++k;
    }
    if (k < tokens_.size() && tokens_[k].is('=')) mark(tokens_[at].text);
  }

  void mark(std::string_view word) {
    folded_.resize(word.size());
    foldAsciiInto(word.data(), word.size(), folded_.data());
    const WordInfo* info = keywords_.find(folded_, wordHash(folded_));
    if (info != nullptr && info->context) used_[info->index] = 1;
  }

  const KeywordTable& keywords_;
  std::vector<uint8_t>& used_;
  std::vector<Token> tokens_;
  std::string folded_;
};

}  // namespace

std::vector<uint8_t> contextWordsUsedAsNames(const Analysis& analysis, const KeywordTable& keywords) {
  std::vector<uint8_t> used;
  if (!keywords.hasContextWords()) return used;
  used.assign(keywords.entryCount(), 0);
  ContextNameFinder finder(keywords, used);
  for (int32_t n = 1; n <= analysis.lineCount(); ++n) finder.readLine(analysis.line(n));
  return used;
}

}  // namespace vennik
