// The analysis: the source cut into lines, then three passes over them.
// Pass 1 finds the widest definition name, pass 2 records the definitions
// and the global declarations, pass 3 reads every line under its scope. A
// name is found in the line's own scope, else in the global scope, else it
// gets a row of its own; every occurrence is kept with its position.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "analysis/analysis.h"
#include "analysis/definition_lines.h"
#include "analysis/library_names.h"
#include "analysis/listing_order.h"
#include "analysis/name_characters.h"
#include "analysis/name_index.h"
#include "analysis/number_literal.h"
#include "base/line_ends.h"
#include "base/utf8_text.h"

namespace vennik {

MillisecondClock steadyMillisecondClock() {
  return [] {
    using namespace std::chrono;
    return static_cast<int64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  };
}

namespace {

// The widths taken from name lengths stop growing here: no board accepts a
// longer line, and a hostile source must not make every row that wide.
constexpr int32_t kWidthLimit = 255;

// A row's mark while the passes run; the first mark set sticks, except that
// a label always wins.
enum class Mark : uint8_t { None, Declared, Fn, Label, Library };

struct NameCharTable {
  bool table[256] = {};
  constexpr NameCharTable() {
    for (int c = 0; c < 256; ++c) table[c] = isNameChar(static_cast<char>(c));
  }
};
constexpr NameCharTable kNameChars;

std::string_view fileNamePart(std::string_view path) {
  const size_t p = path.find_last_of("\\/");
  return p == std::string_view::npos ? path : path.substr(p + 1);
}

int32_t clampWidth(size_t n) { return static_cast<int32_t>(std::min<size_t>(n, kWidthLimit)); }

// The characters a number literal can start with.
bool mayStartNumber(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '&' || c == '#'; }

// One occurrence as met, before the occurrences are grouped by row: its row
// and where it starts in the source (its line and column follow from that).
struct Occurrence {
  int32_t row;
  uint32_t offset;
};

}  // namespace

class AnalysisBuilder {
 public:
  AnalysisBuilder(Analysis& a, const AnalysisOptions& options, const KeywordTable& keywords, bool sourceAscii)
      : a_(a),
        keywords_(keywords),
        definedWords_(keywords.entryCount(), false),
        library_(options.libraryList),
        sourceAscii_(sourceAscii) {
    const auto capacity = static_cast<double>(a.lineCount()) * static_cast<double>(options.variableFactor);
    if (capacity > 0 && capacity < 1e7) {
      a.rows_.reserve(static_cast<size_t>(capacity));
      marks_.reserve(static_cast<size_t>(capacity));
      nameIds_.reserve(static_cast<size_t>(capacity));
    }
  }

  void run() {
    a_.scopeNames_ = {" Global", "!"};
    a_.scopeKeys_ = {" global", "!"};
    a_.scopeSpellings_ = {" Global", "!"};
    scopeIds_.emplace(" global", Analysis::kGlobalScope);
    scopeIds_.emplace("!", Analysis::kMainScope);
    spellingIds_.emplace(" Global", 0);
    spellingIds_.emplace("!", 1);

    passOne();
    passTwo();
    passThree();
    finish();
  }

 private:
  // --- The passes --------------------------------------------------------

  void passOne() {
    int32_t width = 7;
    for (int32_t i = 1; i <= a_.lineCount(); ++i) {
      const std::string_view line = a_.line(i);
      if (isDefinitionHeader(line)) width = std::max(width, clampWidth(characters(definitionName(line))));
    }
    a_.scopeWidth_ = width;
  }

  void passTwo() {
    bool insideDefinition = false;
    for (int32_t i = 1; i <= a_.lineCount(); ++i) {
      const std::string_view line = a_.line(i);
      if (isDefinitionHeader(line)) {
        insideDefinition = true;
        recordDefinition(line);
      } else if (isDefinitionEnd(line)) {
        insideDefinition = false;
      } else if ((!insideDefinition && isGlobalDeclaration(line)) ||
                 (insideDefinition && startsWithIgnoringCase(line, "dim "))) {
        scanLine(i, Analysis::kGlobalScope, 0, false);
      }
    }
    secondPassEnd_ = occurrences_.size();
  }

  void passThree() {
    int32_t scope = Analysis::kMainScope;
    int32_t spelling = 1;
    bool insideCBlock = false, insideFont = false, skipBlock = false;
    int32_t openDefinition = -1, openFont = -1;
    DefinitionCounts& counts = a_.counts_;
    for (int32_t i = 1; i <= a_.lineCount(); ++i) {
      const std::string_view line = a_.line(i);
      if (line.size() > 80) {
        const size_t length = sourceAscii_ ? line.size() : utf16Length(line);
        if (length > 80) a_.longLines_.push_back(LongLine{i, static_cast<int32_t>(length)});
      }
      if (line.empty() || line[0] == '\'') continue;
      if (insideCBlock || insideFont) skipBlock = true;

      if (startsWithIgnoringCase(line, "sub ")) {
        ++counts.subroutines;
      } else if (startsWithIgnoringCase(line, "function ")) {
        ++counts.functions;
      } else if (startsWithIgnoringCase(line, "cfunction ")) {
        ++counts.cfunctions;
        insideCBlock = true;
      } else if (startsWithIgnoringCase(line, "csub ")) {
        ++counts.csubs;
        insideCBlock = true;
      } else if (startsWithIgnoringCase(line, "definefont ")) {
        ++counts.fonts;
        insideFont = true;
        openFont = addDefinition(line, i, DefinitionKind::Font, -1, -1);
      }

      const bool header = isDefinitionHeader(line);
      if (header) {
        // Pass 2 met the same headers in the same order.
        scope = headerScopes_[nextHeader_].first;
        spelling = headerScopes_[nextHeader_].second;
        ++nextHeader_;
        if (openDefinition >= 0) a_.definitions_[static_cast<size_t>(openDefinition)].endLine = i - 1;
        openDefinition = addDefinition(line, i, headerKind(line), scope, definitionRows_.at(scope));
      }
      if (isDefinitionEnd(line)) {
        scope = Analysis::kMainScope;
        spelling = 1;
        insideCBlock = insideFont = skipBlock = false;
        if (openDefinition >= 0) a_.definitions_[static_cast<size_t>(openDefinition)].endLine = i;
        if (openFont >= 0) a_.definitions_[static_cast<size_t>(openFont)].endLine = i;
        openDefinition = openFont = -1;
        continue;
      }
      if (!skipBlock) scanLine(i, scope, spelling, header);
    }
    for (int32_t open : {openDefinition, openFont}) {
      if (open >= 0) a_.definitions_[static_cast<size_t>(open)].endLine = a_.lineCount();
    }
  }

  static DefinitionKind headerKind(std::string_view line) {
    if (startsWithIgnoringCase(line, "function")) return DefinitionKind::Function;
    if (startsWithIgnoringCase(line, "cfunction")) return DefinitionKind::CFunction;
    if (startsWithIgnoringCase(line, "csub")) return DefinitionKind::CSub;
    return DefinitionKind::Sub;
  }

  int32_t addDefinition(std::string_view line, int32_t lineNumber, DefinitionKind kind, int32_t scope, int32_t row) {
    const std::string_view name = definitionName(line);
    Definition d;
    d.name = name;
    d.kind = kind;
    d.line = d.endLine = lineNumber;
    d.scope = scope;
    d.row = row;
    d.nameAt = Reference{lineNumber, columnOf(lineNumber, name.empty() ? line.data() : name.data())};
    a_.definitions_.push_back(d);
    return static_cast<int32_t>(a_.definitions_.size() - 1);
  }

  // A definition header gives the definition a row of its own, in its own
  // scope; a repeated header joins the row the first one made.
  void recordDefinition(std::string_view line) {
    const std::string_view name = definitionName(line);
    const std::string folded = foldCase(name);
    NameIndex::Entry* entry = &names_.intern(folded, wordHash(folded));
    auto [it, added] = scopeIds_.try_emplace(folded, static_cast<int32_t>(a_.scopeNames_.size()));
    const int32_t scope = it->second;
    if (added) {
      a_.scopeNames_.push_back(name);
      a_.scopeKeys_.push_back(folded);
    }
    headerScopes_.emplace_back(scope, spellingOf(name));
    const uint32_t offset = offsetOf(name.data());
    if (entry->definition && definitionRows_.count(scope) != 0) {
      addOccurrence(definitionRows_.at(scope), offset);
      return;
    }
    entry->definition = 1;
    if (!folded.empty() && mayStartNumber(folded[0])) numberLikeDefinitions_ = true;
    if (const WordInfo* info = keywords_.find(folded, wordHash(folded))) definedWords_[info->index] = true;
    const int32_t row = addRow(scope, spellingOf(name), *entry, name, Mark::Fn);
    a_.rows_[static_cast<size_t>(row)].definitionRow = true;
    definitionRows_.emplace(scope, row);
    addOccurrence(row, offset);
  }

  int32_t spellingOf(std::string_view spelling) {
    auto [it, added] = spellingIds_.try_emplace(spelling, static_cast<int32_t>(a_.scopeSpellings_.size()));
    if (added) a_.scopeSpellings_.push_back(spelling);
    return it->second;
  }

  // --- The line scanner ----------------------------------------------------

  // Reads one line word by word: strings, comments, keywords and numbers are
  // skipped, every other word is recorded as a name under the line's scope.
  void scanLine(int32_t lineNumber, int32_t scope, int32_t spelling, bool isHeader) {
    const std::string_view line = a_.line(lineNumber);
    line_ = line;
    lineNumber_ = lineNumber;
    scope_ = scope;
    spelling_ = spelling;
    inGlobalScope_ = scope == Analysis::kGlobalScope;
    inMainScope_ = !a_.scopeSpellings_[static_cast<size_t>(spelling)].empty() &&
                   a_.scopeSpellings_[static_cast<size_t>(spelling)][0] == '!';
    headerMark_ = isHeader ? Mark::Declared : Mark::None;
    declareAll_ = isHeader;
    mark_ = Mark::None;
    skipNext_ = alignFilter_ = false;

    bool inQuote = false;
    int32_t depth = 0;
    const char* const s = line.data();
    const size_t n = line.size();
    wordLength_ = 0;
    size_t i = 0;
    for (; i < n; ++i) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (kNameChars.table[c]) {
        if (wordLength_ == 0) wordStart_ = s + i;
        ++wordLength_;
        continue;
      }
      if (c == '"') {
        // An opening quote ends the word being collected; the string is
        // skipped to its closing quote.
        if (wordLength_ != 0) separator(c);
        if (mark_ == Mark::Fn) mark_ = headerMark_;
        const void* close = i + 1 < n ? std::memchr(s + i + 1, '"', n - i - 1) : nullptr;
        if (!close) {
          inQuote = true;
          break;
        }
        i = static_cast<size_t>(static_cast<const char*>(close) - s);
        continue;
      }
      if (c == '\'') break;  // a comment: the word before it counts, the rest does not
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (wordLength_ != 0) separator(c);
      if (mark_ == Mark::Fn) mark_ = headerMark_;
    }
    // The blank after the line, or the apostrophe, ends the last word.
    if (wordLength_ != 0) separator(i < n ? '\'' : ' ');

    if (inGlobalScope_) return;  // declaration lines are checked by their second reading
    if (inQuote) a_.unpairedQuotes_.push_back(lineNumber);
    if (depth != 0) a_.unpairedBrackets_.push_back(lineNumber);
  }

  void separator(unsigned char sep) {
    treatWord(sep);
    wordLength_ = 0;
  }

  void treatWord(unsigned char sep) {
    // The word lower-cased, and its hash.
    foldWord();
    const std::string_view w(folded_);
    const uint32_t h = wordHash(w);
    const WordInfo* info = keywords_.find(w, h);
    const bool keyword = info != nullptr && info->keyword;

    // A number names nothing, unless a definition is named like one.
    const bool number = !keyword && mayStartNumber(w[0]) && isNumberLiteral(w);
    NameIndex::Entry* entry = nullptr;
    bool looked = false;
    if (info != nullptr && info->declaration && !inGlobalScope_) {
      mark_ = Mark::Declared;
    } else {
      bool defined;
      if (keyword) {
        defined = definedWords_[info->index];
      } else if (number && !numberLikeDefinitions_) {
        defined = false;
      } else {
        entry = names_.find(w, h);
        looked = true;
        defined = entry != nullptr && entry->definition;
      }
      if (defined) mark_ = Mark::Fn;
    }
    if (skipNext_) {
      skipNext_ = false;
      return;
    }
    if (alignFilter_ && info != nullptr && info->alignment) return;
    if (!keyword && !number) {
      if (!looked) entry = names_.find(w, h);
      record(entry, h, sep);
    }
    if (info != nullptr) {
      if (info->skipNext) {
        skipNext_ = true;
      } else if (info->textWord) {
        alignFilter_ = true;
      }
    }
  }

  // Lower-cases A to Z of the word into folded_, eight bytes at a time where
  // the word has them.
  void foldWord() {
    folded_.resize(wordLength_);
    char* out = folded_.data();
    size_t k = 0;
    for (; k + 8 <= wordLength_; k += 8) {
      uint64_t x;
      std::memcpy(&x, wordStart_ + k, 8);
      constexpr uint64_t ones = 0x0101010101010101ULL;
      const uint64_t heptets = x & (0x7F * ones);
      const uint64_t fromA = heptets + (0x80 - 'A') * ones;
      const uint64_t pastZ = heptets + (0x80 - 'Z' - 1) * ones;
      const uint64_t upper = fromA & ~pastZ & ~x & (0x80 * ones);
      x |= upper >> 2;
      std::memcpy(out + k, &x, 8);
    }
    for (; k < wordLength_; ++k) out[k] = foldAscii(wordStart_[k]);
  }

  // A label stands at the very start of its line, followed by ":".
  bool isLabel(unsigned char sep) const {
    return sep == ':' && line_.size() > wordLength_ && line_.compare(0, wordLength_, wordStart_, wordLength_) == 0 &&
           line_[wordLength_] == ':';
  }

  void record(NameIndex::Entry* entry, uint32_t hash, unsigned char sep) {
    const bool label = isLabel(sep);
    if (mark_ == Mark::Declared || declareAll_) {
      if (entry != nullptr) {
        if (const int32_t r = findRow(scope_, *entry); r >= 0) return update(r, label);
      }
      if (inMainScope_) return;  // main-program declarations live in the global scope
      if (entry == nullptr) entry = &names_.intern(folded_, hash);
      const int32_t r = addRow(scope_, spelling_, *entry, std::string_view(wordStart_, wordLength_), mark_);
      if (label) marks_[static_cast<size_t>(r)] = Mark::Label;
      addOccurrence(r, offsetOf(wordStart_));
      return;
    }
    if (entry != nullptr) {
      if (const int32_t r = findRow(scope_, *entry); r >= 0) return update(r, label);
      if (entry->globalRow >= 0) return update(entry->globalRow, label);
    } else {
      entry = &names_.intern(folded_, hash);
    }
    const int32_t r = addRow(scope_, spelling_, *entry, std::string_view(wordStart_, wordLength_), mark_);
    if (label) marks_[static_cast<size_t>(r)] = Mark::Label;
    if (!library_.empty() && library_.containsFolded(folded_)) marks_[static_cast<size_t>(r)] = Mark::Library;
    addOccurrence(r, offsetOf(wordStart_));
  }

  void update(int32_t r, bool label) {
    Mark& m = marks_[static_cast<size_t>(r)];
    if (m == Mark::None) m = mark_;
    if (label) m = Mark::Label;
    addOccurrence(r, offsetOf(wordStart_));
  }

  int32_t findRow(int32_t scope, NameIndex::Entry& entry) {
    return scope == Analysis::kGlobalScope ? entry.globalRow : names_.findRow(scope, entry);
  }

  int32_t addRow(int32_t scope, int32_t spelling, NameIndex::Entry& entry, std::string_view name, Mark mark) {
    const auto r = static_cast<int32_t>(a_.rows_.size());
    Analysis::RowRecord rec;
    rec.nameBegin = static_cast<uint32_t>(name.data() - a_.source_.data());
    rec.nameLength = static_cast<uint32_t>(name.size());
    rec.scope = scope;
    rec.scopeSpelling = spelling;
    a_.rows_.push_back(rec);
    marks_.push_back(mark);
    nameIds_.push_back(entry.name);
    names_.addRow(scope, entry, r);
    longestName_ = std::max(longestName_, sourceAscii_ ? name.size() : utf16Length(name));
    return r;
  }

  // Each occurrence is kept once per row: the second reading of a line that
  // pass 2 already read finds the same occurrences again.
  // Occurrences of each pass come in the order of the source, so the second
  // reading of a line finds what the first kept just ahead of a cursor.
  void addOccurrence(int32_t row, uint32_t offset) {
    if (secondPassEnd_ != kOpen) {
      while (secondPassCursor_ < secondPassEnd_ && occurrences_[secondPassCursor_].offset < offset) ++secondPassCursor_;
      for (size_t k = secondPassCursor_; k < secondPassEnd_ && occurrences_[k].offset == offset; ++k) {
        if (occurrences_[k].row == row) return;
      }
    }
    occurrences_.push_back(Occurrence{row, offset});
  }

  uint32_t offsetOf(const char* at) const { return static_cast<uint32_t>(at - a_.source_.data()); }

  // --- Columns -------------------------------------------------------------

  // The 1-based UTF-16 column of a position in a line.
  int32_t columnOf(int32_t lineNumber, const char* at) const {
    const Analysis::LineSpan& span = a_.lines_[static_cast<size_t>(lineNumber - 1)];
    const uint32_t pos = offsetOf(at);
    if (sourceAscii_) return static_cast<int32_t>(pos - span.begin + 1);
    return static_cast<int32_t>(utf16Length(a_.source().substr(span.begin, pos - span.begin)) + 1);
  }

  static size_t characters(std::string_view s) { return utf16Length(s); }

  // --- The finished value ----------------------------------------------------

  void finish() {
    const size_t rowCount = a_.rows_.size();
    for (size_t r = 0; r < rowCount; ++r) {
      Analysis::RowRecord& rec = a_.rows_[r];
      switch (marks_[r]) {
        case Mark::None:
          rec.kind = rec.scope == Analysis::kGlobalScope ? RowKind::Plain : RowKind::Undeclared;
          break;
        case Mark::Declared: rec.kind = RowKind::Declared; break;
        case Mark::Fn: rec.kind = RowKind::Definition; break;
        case Mark::Label: rec.kind = RowKind::Label; break;
        case Mark::Library: rec.kind = RowKind::Library; break;
      }
    }
    BigArray<Mark>().swap(marks_);

    // The listing order needs the names; once it is known they go, before
    // the occurrences are regrouped, so the two never take memory together.
    if (rowCount > 0) {
      a_.nameWidth_ = std::max(8, clampWidth(static_cast<size_t>(a_.scopeWidth_) + 2 + longestName_));
    }
    a_.listingOrder_ = listingOrder(a_, names_, nameIds_);
    names_ = NameIndex();
    BigArray<int32_t>().swap(nameIds_);

    // Occurrences grouped by row, each group in the order met.
    a_.referenceBegin_.resize(rowCount + 1);
    for (const Occurrence& o : occurrences_) ++a_.referenceBegin_[static_cast<size_t>(o.row) + 1];
    for (size_t r = 0; r < rowCount; ++r) a_.referenceBegin_[r + 1] += a_.referenceBegin_[r];
    a_.references_.resize(occurrences_.size());
    {
      BigArray<uint32_t> next;
      next.resize(rowCount);
      if (rowCount > 0) std::memcpy(next.data(), a_.referenceBegin_.data(), rowCount * sizeof(uint32_t));
      // Each pass met its occurrences in the order of the source: a cursor
      // over the lines gives each its line, and the characters before it on
      // the line are counted on from the previous one.
      const auto& lines = a_.lines_;
      const std::string_view text = a_.source();
      size_t ln = 0;
      uint32_t countedTo = lines.empty() ? 0 : lines[0].begin;
      size_t units = 0;
      for (size_t i = 0; i < occurrences_.size(); ++i) {
        const Occurrence& o = occurrences_[i];
        if (i == secondPassEnd_ || (i > 0 && o.offset < occurrences_[i - 1].offset)) {
          ln = 0;
          countedTo = lines[0].begin;
          units = 0;
        }
        while (ln + 1 < lines.size() && o.offset > lines[ln].end) {
          ++ln;
          countedTo = lines[ln].begin;
          units = 0;
        }
        int32_t column;
        if (sourceAscii_) {
          column = static_cast<int32_t>(o.offset - lines[ln].begin + 1);
        } else {
          units += utf16Length(text.substr(countedTo, o.offset - countedTo));
          countedTo = o.offset;
          column = static_cast<int32_t>(units + 1);
        }
        a_.references_[next[static_cast<size_t>(o.row)]++] = Reference{static_cast<int32_t>(ln + 1), column};
      }
    }
    BigArray<Occurrence>().swap(occurrences_);
  }

  static constexpr size_t kOpen = std::numeric_limits<size_t>::max();

  Analysis& a_;
  const KeywordTable& keywords_;
  std::vector<bool> definedWords_;  // by WordInfo::index: keywords that name a definition
  LibraryNames library_;
  bool sourceAscii_ = true;

  NameIndex names_;
  BigArray<Mark> marks_;  // by row
  BigArray<int32_t> nameIds_;  // by row
  std::unordered_map<std::string, int32_t> scopeIds_;  // folded name to scope
  std::unordered_map<std::string_view, int32_t> spellingIds_;
  std::unordered_map<int32_t, int32_t> definitionRows_;  // scope to its definition row
  std::vector<std::pair<int32_t, int32_t>> headerScopes_;  // scope and spelling of each header, in order
  size_t nextHeader_ = 0;
  bool numberLikeDefinitions_ = false;  // a definition is named as a number could be written
  size_t longestName_ = 0;

  BigArray<Occurrence> occurrences_;
  size_t secondPassEnd_ = kOpen;
  size_t secondPassCursor_ = 0;

  // The line being read.
  std::string_view line_;
  int32_t lineNumber_ = 0;
  int32_t scope_ = 0;
  int32_t spelling_ = 0;
  bool inGlobalScope_ = false;
  bool inMainScope_ = false;
  Mark headerMark_ = Mark::None;
  bool declareAll_ = false;
  Mark mark_ = Mark::None;
  bool skipNext_ = false;
  bool alignFilter_ = false;
  const char* wordStart_ = nullptr;
  size_t wordLength_ = 0;
  std::string folded_;
};

Analysis analyse(std::string_view source, const AnalysisOptions& options, const KeywordTable& keywords,
                 const MillisecondClock& clock) {
  BigArray<char> bytes;
  bytes.resize(source.size());
  if (!source.empty()) std::memcpy(bytes.data(), source.data(), source.size());
  return analyse(std::move(bytes), options, keywords, clock);
}

Analysis analyse(BigArray<char> source, const AnalysisOptions& options, const KeywordTable& keywords,
                 const MillisecondClock& clock) {
  Analysis a;
  const int64_t start = clock();
  a.fileName_ = options.fileName;
  a.source_ = std::move(source);
  const std::string_view text = a.source();
  const bool ascii = isAscii(text);
  a.sourceLength_ = static_cast<int32_t>(std::min<size_t>(ascii ? text.size() : utf16Length(text),
                                                          static_cast<size_t>(std::numeric_limits<int32_t>::max())));

  // A file of that exact name holds a terminal's first line before the program.
  const size_t from = fileNamePart(options.fileName) == "terminalTemp.txt" ? afterFirstLineEnd(text, 0) : 0;
  forEachLine(text, from, [&](size_t b, size_t e) {
    a.lines_.push_back(Analysis::LineSpan{static_cast<uint32_t>(b), static_cast<uint32_t>(e)});
  });

  AnalysisBuilder(a, options, keywords, ascii).run();
  a.elapsedMs_ = clock() - start;
  return a;
}

}  // namespace vennik
