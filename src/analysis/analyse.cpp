// The analysis: the source cut into lines, then three passes over them.
// Pass 1 finds the widest definition name, pass 2 records the definitions
// and the global declarations, pass 3 reads every line under its scope with
// the scanner. What the passes build together is the name table; at the end
// its occurrences become each row's references, and the rows are put in the
// report's order.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>

#include "analysis/analysis.h"
#include "analysis/board_limits.h"
#include "analysis/context_words.h"
#include "analysis/definition_lines.h"
#include "analysis/library_names.h"
#include "analysis/listing_order.h"
#include "analysis/name_table.h"
#include "analysis/scanner.h"
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
constexpr auto kWidthLimit = static_cast<int32_t>(kBoardLineLimit);

std::string_view fileNamePart(std::string_view path) {
  const size_t p = path.find_last_of("\\/");
  return p == std::string_view::npos ? path : path.substr(p + 1);
}

int32_t clampWidth(size_t n) { return static_cast<int32_t>(std::min<size_t>(n, kWidthLimit)); }

}  // namespace

class AnalysisBuilder {
 public:
  AnalysisBuilder(Analysis& a, const AnalysisOptions& options, const KeywordTable& keywords, bool sourceAscii)
      : a_(a),
        keywords_(keywords),
        library_(options.libraryList),
        sourceAscii_(sourceAscii),
        names_(a.source(), sourceAscii, expectedRows(a, options), keywords.entryCount()),
        scanner_(keywords, library_, names_),
        firmware_(options.reading == Reading::Firmware) {
    scanner_.setReading(options.reading);
  }

  void run() {
    a_.scopeNames_ = {" Global", "!"};
    a_.scopeSpellings_ = {" Global", "!"};
    a_.spellingScopes_ = {Analysis::kGlobalScope, Analysis::kMainScope};
    spellingIds_.emplace(" Global", 0);
    spellingIds_.emplace("!", 1);

    contextNames_ = contextWordsUsedAsNames(a_, keywords_);
    scanner_.setContextNames(contextNames_);
    passOne();
    passTwo();
    passThree();
    finish();
  }

 private:
  static size_t expectedRows(const Analysis& a, const AnalysisOptions& options) {
    const auto capacity = static_cast<double>(a.lineCount()) * static_cast<double>(options.variableFactor);
    return capacity > 0 && capacity < 1e7 ? static_cast<size_t>(capacity) : 0;
  }

  // --- The passes --------------------------------------------------------

  // Pass 1: the widest definition name sets the width of the scope column.
  void passOne() {
    int32_t width = 7;
    for (int32_t i = 1; i <= a_.lineCount(); ++i) {
      const std::string_view line = a_.line(i);
      if (isDefinitionHeader(line)) width = std::max(width, clampWidth(utf16Length(definitionName(line))));
    }
    a_.scopeWidth_ = width;
  }

  // Pass 2: the definitions, each with a scope and a row of its own, and the
  // global declarations (DIM and CONST outside a definition, DIM inside one).
  void passTwo() {
    bool insideDefinition = false;
    for (int32_t i = 1; i <= a_.lineCount(); ++i) {
      const std::string_view line = a_.line(i);
      if (isDefinitionHeader(line)) {
        insideDefinition = true;
        recordDefinition(line);
      } else if (isDefinitionEnd(line)) {
        insideDefinition = false;
      } else if (firmware_) {
        // A declaration may follow ":", THEN or ELSE: every line that may
        // hold one is read, and only what DIM (or CONST outside a
        // definition) declares is recorded.
        if (mayHoldDeclaration(line)) {
          LineScope where{Analysis::kGlobalScope, 0, false, false};
          where.globalDeclarationsOnly = true;
          where.insideDefinition = insideDefinition;
          scanner_.scan(line, where);
        }
      } else if ((!insideDefinition && isGlobalDeclaration(line)) ||
                 (insideDefinition && startsWithIgnoringCase(line, "dim "))) {
        // Its findings are those of its second reading.
        scanner_.scan(line, LineScope{Analysis::kGlobalScope, 0, false, false});
      }
    }
    names_.beginSecondReading();
  }

  // Pass 3: every line under its scope, the counts, the long lines, and
  // where each definition ends. The lines of CFunction, CSub and DefineFont
  // blocks are not read.
  void passThree() {
    int32_t scope = Analysis::kMainScope;
    int32_t spelling = 1;
    bool insideCBlock = false, insideFont = false, skipBlock = false;
    int32_t openDefinition = -1, openFont = -1;
    DefinitionCounts& counts = a_.counts_;
    auto enter = [&](int32_t next) {
      if (next == scope) return;
      names_.closeScope(scope);
      names_.openScope(next);
      scope = next;
    };
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
        enter(headerScopes_[nextHeader_].first);
        spelling = headerScopes_[nextHeader_].second;
        ++nextHeader_;
        if (openDefinition >= 0) a_.definitions_[static_cast<size_t>(openDefinition)].endLine = i - 1;
        openDefinition = addDefinition(line, i, headerKind(line), scope, names_.definitionRow(scope));
      }
      if (isDefinitionEnd(line)) {
        enter(Analysis::kMainScope);
        spelling = 1;
        insideCBlock = insideFont = skipBlock = false;
        if (openDefinition >= 0) a_.definitions_[static_cast<size_t>(openDefinition)].endLine = i;
        if (openFont >= 0) a_.definitions_[static_cast<size_t>(openFont)].endLine = i;
        openDefinition = openFont = -1;
        continue;
      }
      if (skipBlock) continue;
      const std::string_view scopeSpelling = a_.scopeSpellings_[static_cast<size_t>(spelling)];
      const bool mainProgram = !scopeSpelling.empty() && scopeSpelling[0] == '!';
      const LineFindings found = scanner_.scan(line, LineScope{scope, spelling, mainProgram, header});
      if (found.unpairedQuote) a_.unpairedQuotes_.push_back(i);
      if (found.unpairedBracket) a_.unpairedBrackets_.push_back(i);
    }
    for (int32_t open : {openDefinition, openFont}) {
      if (open >= 0) a_.definitions_[static_cast<size_t>(open)].endLine = a_.lineCount();
    }
  }

  // Whether "dim" or "const" stands in the line, in any case.
  static bool mayHoldDeclaration(std::string_view line) {
    for (size_t i = 0; i + 3 <= line.size(); ++i) {
      const char c = static_cast<char>(line[i] | 0x20);
      if (c == 'd' && (line[i + 1] | 0x20) == 'i' && (line[i + 2] | 0x20) == 'm') return true;
      if (c == 'c' && i + 5 <= line.size() && startsWithIgnoringCase(line.substr(i), "const")) return true;
    }
    return false;
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
    const uint32_t hash = wordHash(folded);
    const auto [scope, added] = names_.scopeNamed(folded, hash, static_cast<int32_t>(a_.scopeNames_.size()));
    if (added) a_.scopeNames_.push_back(name);
    const int32_t spelling = spellingOf(name, scope);
    headerScopes_.emplace_back(scope, spelling);
    if (names_.namesDefinition(folded, hash) && names_.definitionRow(scope) >= 0) {
      names_.addOccurrence(names_.definitionRow(scope), name.data());
      return;
    }
    const int32_t row = names_.addRow(scope, spelling, name, hash, Mark::Fn, true);
    names_.addDefinition(folded, hash, scope, row, keywords_.find(folded, hash));
    names_.addOccurrence(row, name.data());
  }

  int32_t spellingOf(std::string_view spelling, int32_t scope) {
    auto [it, added] = spellingIds_.try_emplace(spelling, static_cast<int32_t>(a_.scopeSpellings_.size()));
    if (added) {
      a_.scopeSpellings_.push_back(spelling);
      a_.spellingScopes_.push_back(scope);
    }
    return it->second;
  }

  // The 1-based UTF-16 column of a position in a line.
  int32_t columnOf(int32_t lineNumber, const char* at) const {
    const Analysis::LineSpan& span = a_.lines_[static_cast<size_t>(lineNumber - 1)];
    const auto pos = static_cast<uint32_t>(at - a_.source().data());
    if (sourceAscii_) return static_cast<int32_t>(pos - span.begin + 1);
    return static_cast<int32_t>(utf16Length(a_.source().substr(span.begin, pos - span.begin)) + 1);
  }

  // --- The finished value ----------------------------------------------------

  void finish() {
    BigArray<Analysis::RowRecord>& rows = names_.rows();
    const BigArray<Mark>& marks = names_.marks();
    for (size_t r = 0; r < rows.size(); ++r) {
      Analysis::RowRecord& rec = rows[r];
      switch (marks[r]) {
        case Mark::None:
          rec.kind = a_.spellingScopes_[static_cast<size_t>(rec.scopeSpelling)] == Analysis::kGlobalScope
                         ? RowKind::Plain
                         : RowKind::Undeclared;
          break;
        case Mark::Declared: rec.kind = RowKind::Declared; break;
        case Mark::Fn: rec.kind = RowKind::Definition; break;
        case Mark::Label: rec.kind = RowKind::Label; break;
        case Mark::Library: rec.kind = RowKind::Library; break;
      }
    }
    BigArray<Mark>().swap(names_.marks());
    names_.dropIndex();
    a_.rows_ = std::move(rows);
    if (!a_.rows_.empty()) {
      a_.nameWidth_ = std::max(8, clampWidth(static_cast<size_t>(a_.scopeWidth_) + 2 + names_.longestName()));
    }
    placeReferences();
    a_.listingOrder_ = listingOrder(a_);
  }

  // Groups the occurrences by row, each group in the order met, with their
  // lines and columns. Each chunk of occurrences is given back as soon as it
  // is placed: the references fill as the occurrences empty.
  void placeReferences() {
    ChunkedArray<Occurrence>& occurrences = names_.occurrences();
    const size_t secondReadingFrom = names_.secondReadingFrom();
    const size_t rowCount = a_.rows_.size();
    // Counts, then starts: a row's group begins where the one before ends.
    BigArray<uint32_t>& begin = a_.referenceBegin_;
    begin.resize(rowCount + 1);
    for (size_t i = 0; i < occurrences.size(); ++i) ++begin[static_cast<size_t>(occurrences[i].row) + 1];
    for (size_t r = 0; r < rowCount; ++r) begin[r + 1] += begin[r];
    a_.references_.resizeForOverwrite(occurrences.size());

    // Each pass met its occurrences in the order of the source: a cursor
    // over the lines gives each its line, and the characters before it on
    // the line are counted on from the previous one. begin[r] serves as the
    // next place of row r, and ends up where row r + 1 begins.
    const auto& lines = a_.lines_;
    const std::string_view text = a_.source();
    size_t ln = 0;
    uint32_t countedTo = lines.empty() ? 0 : lines[0].begin;
    size_t units = 0;
    uint32_t previous = 0;
    for (size_t i = 0; i < occurrences.size(); ++i) {
      if ((i & (ChunkedArray<Occurrence>::kPerChunk - 1)) == 0) occurrences.releaseBefore(i);
      const Occurrence o = occurrences[i];
      if (i == secondReadingFrom || (i > 0 && o.offset < previous)) {
        ln = 0;
        countedTo = lines[0].begin;
        units = 0;
      }
      previous = o.offset;
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
      a_.references_[begin[static_cast<size_t>(o.row)]++] = Reference{static_cast<int32_t>(ln + 1), column};
    }
    occurrences.clear();
    if (rowCount > 0) std::memmove(begin.data() + 1, begin.data(), rowCount * sizeof(uint32_t));
    begin[0] = 0;
  }

  Analysis& a_;
  const KeywordTable& keywords_;
  LibraryNames library_;
  bool sourceAscii_ = true;
  NameTable names_;
  Scanner scanner_;
  bool firmware_ = false;
  std::vector<uint8_t> contextNames_;  // see contextWordsUsedAsNames

  std::unordered_map<std::string_view, int32_t> spellingIds_;
  std::vector<std::pair<int32_t, int32_t>> headerScopes_;  // scope and spelling of each header, in order
  size_t nextHeader_ = 0;
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
  return analyse(std::make_shared<const BigArray<char>>(std::move(source)), options, keywords, clock);
}

Analysis analyse(SharedSource source, const AnalysisOptions& options, const KeywordTable& keywords,
                 const MillisecondClock& clock) {
  Analysis a;
  const int64_t start = clock();
  a.fileName_ = options.fileName;
  a.reading_ = options.reading;
  a.source_ = source ? std::move(source) : std::make_shared<const BigArray<char>>();
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
