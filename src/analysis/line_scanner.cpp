#include "analysis/line_scanner.h"

#include <array>

#include "analysis/number_literal.h"

namespace vennik {

namespace {

template <size_t N>
bool isOneOf(TextView lw, const std::array<TextView, N>& words) {
  for (auto w : words) {
    if (lw == w) return true;
  }
  return false;
}

constexpr std::array<TextView, 4> kDeclarationWords{u"dim", u"local", u"const", u"static"};
constexpr std::array<TextView, 5> kSkipNextWords{u"touch", u"gps", u"cursor", u"sensorfusion", u"sprite"};
constexpr std::array<TextView, 2> kTextWords{u"text", u"caption"};
constexpr std::array<TextView, 9> kAlignmentCodes{u"cm", u"ct", u"cb", u"lt", u"lm", u"lb", u"rt", u"rm", u"rb"};

constexpr TextView kMarkDeclared = u"**";
constexpr TextView kMarkFn = u"Fn";
constexpr TextView kMarkLabel = u"Lbl";
constexpr TextView kMarkLibrary = u"Lib";

void appendFinding(Text& list, int32_t& count, std::vector<int32_t>& numbers, int32_t lineNumber) {
  numbers.push_back(lineNumber);
  list.push_back(u' ');
  list += decimal(lineNumber);
  ++count;
  if (count % 16 == 0) list.push_back(u'\n');
}

class LineScan {
 public:
  LineScan(ScanContext& ctx, TextView line, TextView scopePart, int32_t lineNumber, bool isHeader)
      : ctx_(ctx), line_(line), scope_(scopePart), lineNumber_(lineNumber),
        headerMark_(isHeader ? kMarkDeclared : TextView()), declareAll_(isHeader), word_(ctx.word),
        lw_(ctx.lowerWord) {
    word_.clear();
    inGlobalScope_ = startsWith(scope_, u" Global");
    // Every key looked up on this line starts with the same scope part.
    scopeHasher_.add(scope_);
    scopeHasher_.add(u"\\ ");
    globalHasher_.add(ctx.tables.globalScopePrefix);
    inMainScope_ = !scope_.empty() && scope_[0] == u'!';
  }

  int32_t run() {
    for (char16_t c : line_) {
      if (c == u'"') {
        // An opening quote ends the word being collected like a separator.
        if (!inQuote_) separator(c);
        inQuote_ = !inQuote_;
        continue;
      }
      if (inQuote_) continue;
      if (c == u'\'') {
        // A comment: the word before it counts, the rest of the line does not.
        separator(c);
        break;
      }
      if (c == u'(') ++depth_;
      if (c == u')') --depth_;
      if (isNameChar(c)) {
        word_.push_back(c);
        continue;
      }
      separator(c);
    }
    endOfLine();
    return longest_;
  }

 private:
  void separator(char16_t s) {
    if (!word_.empty()) {
      treatWord(s);
      word_.clear();
    }
    if (mark_ == kMarkFn) mark_ = headerMark_;
  }

  void treatWord(char16_t s) {
    lw_.assign(word_);
    for (auto& c : lw_) c = lowerChar(c);
    const Text& lw = lw_;
    const uint64_t lwHash = keyHash(TextView(lw));
    if (isOneOf(TextView(lw), kDeclarationWords) && !inGlobalScope_) {
      mark_ = kMarkDeclared;
    } else if (ctx_.tables.definitionNames.contains(lw, lwHash)) {
      mark_ = kMarkFn;
    }
    if (skipNext_) {
      skipNext_ = false;
      return;
    }
    if (alignFilter_ && isOneOf(TextView(lw), kAlignmentCodes)) return;
    if (!ctx_.keywords.words.contains(lw, lwHash) && !isNumberLiteral(word_)) record(lw, lwHash, s);
    if (isOneOf(TextView(lw), kSkipNextWords)) {
      skipNext_ = true;
    } else if (isOneOf(TextView(lw), kTextWords)) {
      alignFilter_ = true;
    }
  }

  bool labelTest(char16_t s) const {
    return s == u':' && line_.size() > word_.size() && startsWith(line_, word_) && line_[word_.size()] == u':';
  }

  void updateRow(int32_t r, bool label) {
    VariableRow& row = ctx_.tables.rows[static_cast<size_t>(r)];
    row.lines.add(lineNumber_);
    if (row.kindMark.empty()) row.kindMark = mark_;
    if (label) row.kindMark = kMarkLabel;
  }

  VariableRow* addRow() {
    Text key;
    key.reserve(scope_.size() + 2 + word_.size());
    key.append(scope_);
    key.append(u"\\ ");
    key.append(word_);
    int32_t r = ctx_.tables.registerKey(key);
    if (r == 0) return nullptr;  // cannot happen: the caller found no row for key
    VariableRow& row = ctx_.tables.rows[static_cast<size_t>(r)];
    row.kindMark = mark_;
    row.lines.add(lineNumber_);
    if (static_cast<int32_t>(key.size()) > longest_) longest_ = static_cast<int32_t>(key.size());
    return &row;
  }

  void record(const Text& lw, uint64_t lwHash, char16_t s) {
    const KeyPieces key{scope_, u"\\ ", word_};
    KeyHasher keyHasher = scopeHasher_;
    keyHasher.add(word_);
    const uint64_t keyHash = keyHasher.finish();
    bool label = labelTest(s);
    VariableTables& t = ctx_.tables;

    if (mark_ == kMarkDeclared || declareAll_) {
      if (int32_t r = t.findRow(key, keyHash)) {
        updateRow(r, label);
        return;
      }
      if (inMainScope_) return;  // main-program declarations live in the global scope
      if (VariableRow* row = addRow()) {
        if (label) row->kindMark = kMarkLabel;
      }
      return;
    }

    if (int32_t r = t.findRow(key, keyHash)) {
      updateRow(r, label);
      return;
    }
    KeyHasher globalHasher = globalHasher_;
    globalHasher.add(word_);
    if (int32_t r = t.findRow(KeyPieces{t.globalScopePrefix, {}, word_}, globalHasher.finish())) {
      updateRow(r, label);
      return;
    }
    if (VariableRow* row = addRow()) {
      if (label) row->kindMark = kMarkLabel;
      if (ctx_.library.contains(lw, lwHash)) row->kindMark = kMarkLibrary;
    }
  }

  void endOfLine() {
    if (inGlobalScope_) return;  // declaration lines are checked by their second scan
    VariableTables& t = ctx_.tables;
    if (inQuote_) appendFinding(t.unpairedQuoteLines, t.unpairedQuoteCount, t.unpairedQuoteNumbers, lineNumber_);
    if (depth_ != 0) appendFinding(t.unpairedBracketLines, t.unpairedBracketCount, t.unpairedBracketNumbers, lineNumber_);
  }

  ScanContext& ctx_;
  TextView line_;
  TextView scope_;
  int32_t lineNumber_;
  TextView headerMark_;
  bool declareAll_;
  bool inGlobalScope_ = false;
  bool inMainScope_ = false;

  KeyHasher scopeHasher_;
  KeyHasher globalHasher_;
  Text& word_;
  Text& lw_;  // the word lower-cased
  bool inQuote_ = false;
  int32_t depth_ = 0;
  TextView mark_;
  bool skipNext_ = false;
  bool alignFilter_ = false;
  int32_t longest_ = 0;
};

}  // namespace

int32_t scanLine(ScanContext& ctx, TextView line, TextView scopePart, int32_t lineNumber, bool isHeader) {
  return LineScan(ctx, line, scopePart, lineNumber, isHeader).run();
}

int32_t recordDefinition(VariableTables& tables, TextView paddedName, int32_t lineNumber) {
  TextView name = trimBlanksRight(paddedName);
  Text lowerName = lowerText(name);
  Text key(paddedName);
  key += u"\\ ";
  key += name;
  if (tables.definitionNames.contains(lowerName)) {
    // A repeated definition: its header joins the existing definition row.
    int32_t r = tables.findRow(key);
    if (r != 0) tables.rows[static_cast<size_t>(r)].lines.add(lineNumber);
    return 0;
  }
  tables.definitionNames.insert(lowerName);
  int32_t r = tables.registerKey(key);
  if (r == 0) return 0;
  VariableRow& row = tables.rows[static_cast<size_t>(r)];
  row.key = key;
  row.kindMark = Text(kMarkFn);
  row.lines.add(lineNumber);
  row.isDefinition = true;
  return static_cast<int32_t>(key.size());
}

}  // namespace vennik
