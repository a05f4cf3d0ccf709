#include "analysis/scanner.h"

#include <cstring>

#include "analysis/fold_word.h"
#include "analysis/name_characters.h"
#include "analysis/number_literal.h"

namespace vennik {

namespace {
struct NameCharTable {
  bool table[256] = {};
  constexpr NameCharTable() {
    for (int c = 0; c < 256; ++c) table[c] = isNameChar(static_cast<char>(c));
  }
};
constexpr NameCharTable kNameChars;
}  // namespace

LineFindings Scanner::scan(std::string_view line, const LineScope& where) {
  LineState& st = state_;
  st.line = line;
  st.scope = where.scope;
  st.spelling = where.spelling;
  st.inGlobalScope = where.scope == Analysis::kGlobalScope;
  st.inMainScope = where.mainProgram;
  st.headerMark = where.header ? Mark::Declared : Mark::None;
  st.declareAll = where.header;
  st.mark = Mark::None;
  st.skipNext = st.alignFilter = false;
  st.wordLength = 0;

  LineFindings found;
  int32_t depth = 0;
  const char* const s = line.data();
  const size_t n = line.size();
  size_t i = 0;
  for (; i < n; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (kNameChars.table[c]) {
      if (st.wordLength == 0) st.wordStart = s + i;
      ++st.wordLength;
      continue;
    }
    if (c == '"') {
      // An opening quote ends the word being collected; the string is
      // skipped to its closing quote.
      if (st.wordLength != 0) endWord(c);
      if (st.mark == Mark::Fn) st.mark = st.headerMark;
      const void* close = i + 1 < n ? std::memchr(s + i + 1, '"', n - i - 1) : nullptr;
      if (!close) {
        found.unpairedQuote = true;
        break;
      }
      i = static_cast<size_t>(static_cast<const char*>(close) - s);
      continue;
    }
    if (c == '\'') break;  // a comment: the word before it counts, the rest does not
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (st.wordLength != 0) endWord(c);
    if (st.mark == Mark::Fn) st.mark = st.headerMark;
  }
  // The blank after the line, or the apostrophe, ends the last word.
  if (st.wordLength != 0) endWord(i < n ? '\'' : ' ');
  found.unpairedBracket = depth != 0;
  return found;
}

void Scanner::treatWord(unsigned char separator) {
  LineState& st = state_;
  foldWord();
  const std::string_view w(st.folded);
  const uint32_t h = wordHash(w);
  const WordInfo* info = keywords_.find(w, h);
  const bool keyword =
      info != nullptr && info->keyword && !(info->context && contextNames_ != nullptr && contextNames_[info->index]);

  // A number names nothing, unless a definition is named like one.
  const bool number = !keyword && mayStartNumber(w[0]) && isNumberLiteral(w);
  if (info != nullptr && info->declaration && !st.inGlobalScope) {
    st.mark = Mark::Declared;
  } else {
    bool defined;
    if (keyword) {
      defined = names_.keywordNamesDefinition(*info);
    } else if (number && !names_.numberMayNameDefinition()) {
      defined = false;
    } else {
      defined = names_.namesDefinition(w, h);
    }
    if (defined) st.mark = Mark::Fn;
  }
  if (st.skipNext) {
    st.skipNext = false;
    return;
  }
  if (st.alignFilter && info != nullptr && info->alignment) return;
  if (!keyword && !number) record(h, separator);
  if (info != nullptr) {
    if (info->skipNext) {
      st.skipNext = true;
    } else if (info->textWord) {
      st.alignFilter = true;
    }
  }
}

void Scanner::foldWord() {
  state_.folded.resize(state_.wordLength);
  foldAsciiInto(state_.wordStart, state_.wordLength, state_.folded.data());
}

// A label stands at the very start of its line, followed by ":".
bool Scanner::isLabel(unsigned char separator) const {
  const LineState& st = state_;
  return separator == ':' && st.line.size() > st.wordLength &&
         st.line.compare(0, st.wordLength, st.wordStart, st.wordLength) == 0 && st.line[st.wordLength] == ':';
}

void Scanner::record(uint32_t hash, unsigned char separator) {
  const LineState& st = state_;
  const bool label = isLabel(separator);
  const std::string_view w(st.folded);
  if (st.mark == Mark::Declared || st.declareAll) {
    if (const int32_t r = names_.findRow(st.scope, w, hash); r >= 0) return update(r, label);
    if (st.inMainScope) return;  // main-program declarations live in the global scope
    return addRow(hash, label, false);
  }
  if (const int32_t r = names_.findRow(st.scope, w, hash); r >= 0) return update(r, label);
  if (!st.inGlobalScope) {
    if (const int32_t r = names_.findRow(Analysis::kGlobalScope, w, hash); r >= 0) return update(r, label);
  }
  addRow(hash, label, true);
}

void Scanner::addRow(uint32_t hash, bool label, bool mayBeLibrary) {
  const LineState& st = state_;
  const int32_t r =
      names_.addRow(st.scope, st.spelling, std::string_view(st.wordStart, st.wordLength), hash, st.mark);
  if (label) names_.mark(r) = Mark::Label;
  if (mayBeLibrary && !library_.empty() && library_.containsFolded(st.folded)) names_.mark(r) = Mark::Library;
  names_.addOccurrence(r, st.wordStart);
}

void Scanner::update(int32_t row, bool label) {
  Mark& m = names_.mark(row);
  if (m == Mark::None) m = state_.mark;
  if (label) m = Mark::Label;
  names_.addOccurrence(row, state_.wordStart);
}

}  // namespace vennik
