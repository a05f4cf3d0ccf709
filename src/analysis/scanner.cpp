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

// The SUBs the firmware itself calls by name: where a program names one, it
// names a definition, made or to be made, never a variable.
bool isCallbackName(std::string_view lowerWord) {
  return lowerWord == "mm.end" || lowerWord == "mm.prompt" || lowerWord == "mm.startup" ||
         lowerWord == "mm.keypress";
}
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
  st.depth = 0;
  st.statementWords = 0;
  st.declaring = st.globalDeclaration = st.initialiser = st.dataItems = st.remark = false;
  declarationsOnly_ = where.globalDeclarationsOnly;
  insideDefinition_ = where.insideDefinition;

  LineFindings found;
  // Kept here while the line is read; the firmware reading is told it at
  // every word and separator.
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
      if (st.wordLength != 0) {
        if (firmware_) st.depth = depth;
        endWord(c);
        if (st.remark) break;
      }
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
    // The word before a bracket is read at the depth it stands at.
    if (st.wordLength != 0) {
      if (firmware_) st.depth = depth;
      endWord(c);
      if (st.remark) break;  // REM read as the firmware reads it: a comment from here on
    }
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (st.mark == Mark::Fn) st.mark = st.headerMark;
    if (firmware_) {
      st.depth = depth;
      firmwareSeparator(c);
    }
  }
  // The blank after the line, or the apostrophe, ends the last word.
  if (st.wordLength != 0) {
    if (firmware_) st.depth = depth;
    endWord(i < n ? '\'' : ' ');
  }
  found.unpairedBracket = depth != 0;
  return found;
}

void Scanner::firmwareSeparator(unsigned char c) {
  LineState& st = state_;
  if (c == ':') {
    endStatement();
  } else if (st.declaring && st.depth == st.declarationDepth) {
    // DIM a = f(b), c: from "=" to the next comma outside brackets is the
    // value the name starts with.
    if (c == '=') st.initialiser = true;
    if (c == ',') st.initialiser = false;
  }
}

void Scanner::endStatement() {
  LineState& st = state_;
  st.statementWords = 0;
  st.declaring = st.globalDeclaration = st.initialiser = st.dataItems = false;
  st.mark = st.headerMark;
}

bool Scanner::firmwareWord(const WordInfo*& info, uint32_t& hash) {
  LineState& st = state_;
  if (st.dataItems) return false;
  // "#" before a file or channel number (PRINT #fnbr%, EOF(#f)) is no part
  // of the name, unless the list has the word with it.
  if (st.wordLength > 1 && st.folded[0] == '#' && (info == nullptr || !info->keyword)) {
    // At the start of a statement it is a directive (#INCLUDE, #DEFINE),
    // which names nothing.
    if (st.statementWords == 0) return false;
    ++st.wordStart;
    --st.wordLength;
    st.folded.erase(0, 1);
    hash = wordHash(st.folded);
    info = keywords_.find(st.folded, hash);
  }
  const std::string_view w(st.folded);
  if (w == "@") return false;  // PRINT @(x, y): a place on the screen
  const bool start = st.statementWords == 0;
  // A line number leaves the statement at its start.
  if (start && mayStartNumber(w[0]) && isNumberLiteral(w)) return true;
  ++st.statementWords;
  if (w == "then" || w == "else") {
    endStatement();
    return false;
  }
  if (!start) return true;
  if (w == "rem") {
    st.remark = true;
    return false;
  }
  if (w == "data") {
    st.dataItems = true;
    return false;
  }
  if (info != nullptr && info->declaration) {
    st.declaring = true;
    st.globalDeclaration = w == "dim" || (w == "const" && !insideDefinition_);
    st.declarationDepth = st.depth;
    st.initialiser = false;
    return false;
  }
  return true;
}

void Scanner::treatWord(unsigned char separator) {
  LineState& st = state_;
  foldWord();
  uint32_t h = wordHash(st.folded);
  const WordInfo* info = keywords_.find(st.folded, h);
  if (firmware_ && !firmwareWord(info, h)) return;
  const std::string_view w(st.folded);
  const bool keyword =
      info != nullptr && info->keyword && !(info->context && contextNames_ != nullptr && contextNames_[info->index]);

  // A number names nothing, unless a definition is named like one.
  const bool number = !keyword && mayStartNumber(w[0]) && isNumberLiteral(w);
  auto namesDefinition = [&] {
    if (keyword) return names_.keywordNamesDefinition(*info);
    if (number && !names_.numberMayNameDefinition()) return false;
    return names_.namesDefinition(w, h);
  };
  bool recordable = true;
  if (firmware_) {
    // Only the names a declaration lists are declared; the words of its
    // initialisers and bounds are uses.
    const bool declared = st.declaring && !st.initialiser && st.depth == st.declarationDepth;
    if (namesDefinition() || isCallbackName(w)) {
      st.mark = Mark::Fn;
    } else if (!st.inGlobalScope) {
      st.mark = declared ? Mark::Declared : st.headerMark;
    }
    if (declarationsOnly_) recordable = declared && st.globalDeclaration;
  } else if (info != nullptr && info->declaration && !st.inGlobalScope) {
    st.mark = Mark::Declared;
  } else if (namesDefinition()) {
    st.mark = Mark::Fn;
  }
  if (st.skipNext) {
    st.skipNext = false;
    return;
  }
  if (st.alignFilter && info != nullptr && info->alignment) return;
  if (!keyword && !number && recordable) record(h, separator);
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
