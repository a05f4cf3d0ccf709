#pragma once
// The analysis of one BASIC program as a value: source and options in, every
// name with its scope, kind and the places it stands out. The report, the
// JSON, crunch, copy, the language server and the desktop's text window are
// all views of it; nothing here knows about any of them.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/keyword_table.h"
#include "base/big_array.h"

namespace vennik {


// A source's bytes as the analysis keeps them: shared, never changed, so
// that whoever gave them (the desktop program's current source) need not
// hold a copy of their own beside the analysis.
using SharedSource = std::shared_ptr<const BigArray<char>>;

// A millisecond counter; any monotonic clock will do.
using MillisecondClock = std::function<int64_t()>;
MillisecondClock steadyMillisecondClock();

// How a program is read. Literal: as the built-in list's reports have
// always read it (REM is an ordinary keyword, everything after a
// declaration word is declared). Firmware: as the board's own tokeniser
// reads it (REM starts a comment, DATA items and PRINT @ name nothing, an
// initialiser's names are uses, "#" before a file number is no part of the
// name, a declaration after THEN or ELSE declares).
enum class Reading : uint8_t { Literal, Firmware };
std::string_view readingWord(Reading reading);  // literal, firmware

struct AnalysisOptions {
  // Rows of the name table per source line. The table grows as needed, so
  // this only sizes it up front.
  float variableFactor = 0.5f;
  // The Library: names separated by blanks (UTF-8). A new row whose name is
  // one of them, ignoring case, is a library row.
  std::string libraryList;
  // The current file name (UTF-8): the first line of the report; a file
  // named exactly "terminalTemp.txt" has its first line dropped.
  std::string fileName;
  Reading reading = Reading::Literal;
};

// What a row is, as the report's kind column shows it.
enum class RowKind : uint8_t {
  Plain,       // a global name: ""
  Declared,    // declared in its definition (LOCAL, DIM, a parameter): "  "
  Undeclared,  // used in a definition or the main program, never declared there, not global: "***"
  Definition,  // a definition's own row or a call of one: "Fn"
  Label,       // "Lbl"
  Library,     // in the Library: "Lib"
};
std::string_view kindMark(RowKind kind);  // the report's mark
std::string_view kindWord(RowKind kind);  // plain, declared, undeclared, definition, label, library

enum class DefinitionKind : uint8_t { Sub, Function, CFunction, CSub, Font };
std::string_view definitionKindWord(DefinitionKind kind);  // sub, function, cfunction, csub, font

// A place where a name stands: 1-based line, and 1-based column counted in
// UTF-16 code units of the line as it stands in the source (before trimming).
struct Reference {
  int32_t line = 0;
  int32_t column = 0;
  friend bool operator==(const Reference&, const Reference&) = default;
};

struct Definition {
  std::string_view name;  // as written in its header; empty when the header names nothing
  DefinitionKind kind = DefinitionKind::Sub;
  int32_t line = 0;     // the header
  int32_t endLine = 0;  // its END line; without one, the last line its scope covers
  int32_t scope = -1;   // its scope (index into scopeName()); -1 for a font
  int32_t row = -1;     // its definition row; -1 for a font
  Reference nameAt;     // where the name stands in the header
};

struct LongLine {
  int32_t line = 0;
  int32_t length = 0;  // characters, after trimming
};

struct DefinitionCounts {
  int32_t functions = 0;
  int32_t subroutines = 0;
  int32_t cfunctions = 0;
  int32_t csubs = 0;
  int32_t fonts = 0;
  int32_t total() const { return functions + subroutines + cfunctions + csubs + fonts; }
};

// One row of the name table, as read from an Analysis.
struct RowView {
  int32_t index = 0;           // 0-based, in the order rows were added (the report's row number minus 1)
  int32_t scope = 0;           // kGlobalScope, kMainScope or a definition's scope
  std::string_view scopeName;  // as written where the row was made (" Global", "!" or a definition name)
  std::string_view name;       // as first written; a definition row's is the definition's name
  RowKind kind = RowKind::Plain;
  bool definitionRow = false;  // the row a definition header made for itself
  std::span<const Reference> references;  // every occurrence, in the order met
};

class Analysis {
 public:
  static constexpr int32_t kGlobalScope = 0;
  static constexpr int32_t kMainScope = 1;

  const std::string& fileName() const { return fileName_; }
  Reading reading() const { return reading_; }
  // The source as given (UTF-8, line ends as they were).
  std::string_view source() const {
    return source_ ? std::string_view(source_->data(), source_->size()) : std::string_view();
  }
  // Characters (UTF-16 code units) of the source, CR included.
  int32_t sourceLength() const { return sourceLength_; }
  // Lines counted from 1; a source always has at least one.
  int32_t lineCount() const { return static_cast<int32_t>(lines_.size()); }
  // Line n without its line end, as in the source.
  std::string_view rawLine(int32_t n) const;
  // Line n trimmed of blanks (spaces only), as the analysis reads it.
  std::string_view line(int32_t n) const;

  const DefinitionCounts& counts() const { return counts_; }
  const std::vector<int32_t>& unpairedBrackets() const { return unpairedBrackets_; }
  const std::vector<int32_t>& unpairedQuotes() const { return unpairedQuotes_; }
  const std::vector<LongLine>& longLines() const { return longLines_; }
  // Every definition header, and every DefineFont block, in source order.
  const std::vector<Definition>& definitions() const { return definitions_; }

  // Scopes: kGlobalScope, kMainScope, then one per distinct definition name
  // (compared ignoring case), named as first written.
  int32_t scopeCount() const { return static_cast<int32_t>(scopeNames_.size()); }
  std::string_view scopeName(int32_t scope) const { return scopeNames_[static_cast<size_t>(scope)]; }
  // The scope a line is read in: the definition whose header it follows
  // (up to that definition's END line included), else the main program.
  int32_t scopeAtLine(int32_t line) const;
  // The same for every line at once, by line (index 0 unused).
  std::vector<int32_t> scopesByLine() const;

  int32_t rowCount() const { return static_cast<int32_t>(rows_.size()); }
  RowView row(int32_t index) const;
  // Row indices in the order the report lists them.
  std::span<const int32_t> listingOrder() const { return listingOrder_.span(); }
  // The row of `name` in `scope` (ignoring case), or -1.
  int32_t findRow(int32_t scope, std::string_view name) const;
  // The line numbers the report lists for a row: each line once, in the
  // order first met; a definition row lists only its header.
  std::vector<int32_t> listedLines(int32_t row) const;
  template <typename F>
  void forEachListedLine(int32_t row, F&& visit) const;

  // Widths of the report's columns, in characters.
  int32_t scopeWidth() const { return scopeWidth_; }
  int32_t nameWidth() const { return nameWidth_; }
  // How long the analysis took.
  int64_t elapsedMs() const { return elapsedMs_; }

 private:
  friend class AnalysisBuilder;
  friend class NameTable;
  friend BigArray<int32_t> listingOrder(const Analysis&);
  friend Analysis analyse(SharedSource, const AnalysisOptions&, const KeywordTable&, const MillisecondClock&);

  struct LineSpan {
    uint32_t begin = 0;  // raw line: [begin, end) of source_, without the line end
    uint32_t end = 0;
  };
  struct RowRecord {
    uint32_t nameBegin = 0;  // the name as first written: source_[nameBegin, nameBegin + nameLength)
    uint32_t nameLength = 0;
    int32_t scopeSpelling = 0;  // index into scopeSpellings_, which gives the scope too
    RowKind kind = RowKind::Plain;
    bool definitionRow = false;
  };

  std::string fileName_;
  Reading reading_ = Reading::Literal;
  SharedSource source_;
  int32_t sourceLength_ = 0;
  BigArray<LineSpan> lines_;
  DefinitionCounts counts_;
  std::vector<int32_t> unpairedBrackets_;
  std::vector<int32_t> unpairedQuotes_;
  std::vector<LongLine> longLines_;
  std::vector<Definition> definitions_;
  std::vector<std::string_view> scopeNames_;      // by scope
  std::vector<std::string_view> scopeSpellings_;  // every spelling a row was made under
  std::vector<int32_t> spellingScopes_;           // by spelling: its scope
  BigArray<RowRecord> rows_;
  BigArray<uint32_t> referenceBegin_;  // rows + 1 offsets into references_
  BigArray<Reference> references_;     // grouped by row, each group in the order met
  BigArray<int32_t> listingOrder_;
  int32_t scopeWidth_ = 7;
  int32_t nameWidth_ = 8;
  int64_t elapsedMs_ = 0;
};

// Analyses a source (UTF-8; the text is kept in the result). Pure: the same
// source, options and table give the same analysis, apart from the time.
Analysis analyse(BigArray<char> source, const AnalysisOptions& options, const KeywordTable& keywords,
                 const MillisecondClock& clock);
// The same over bytes shared with the caller.
Analysis analyse(SharedSource source, const AnalysisOptions& options, const KeywordTable& keywords,
                 const MillisecondClock& clock);
Analysis analyse(std::string_view source, const AnalysisOptions& options, const KeywordTable& keywords,
                 const MillisecondClock& clock);

template <typename F>
void Analysis::forEachListedLine(int32_t row, F&& visit) const {
  const auto& r = rows_[static_cast<size_t>(row)];
  const uint32_t b = referenceBegin_[static_cast<size_t>(row)];
  const uint32_t e = referenceBegin_[static_cast<size_t>(row) + 1];
  if (b == e) return;
  if (r.definitionRow) {
    visit(references_[b].line);
    return;
  }
  // References come in two ascending runs at most, one per pass over the
  // lines: a line of the second run that the first already listed is not
  // listed again. A pointer into the first run follows the second.
  uint32_t second = e;  // start of the second run
  uint32_t p = b;       // first-run pointer
  bool slow = false;    // more runs than the passes make: compare with everything before
  int32_t last = 0;
  for (uint32_t i = b; i < e; ++i) {
    const int32_t n = references_[i].line;
    if (i > b && n < references_[i - 1].line) {
      if (second == e) {
        second = i;
      } else {
        slow = true;
      }
    }
    if (i > b && n == last) continue;
    last = n;
    if (slow) {
      bool seen = false;
      for (uint32_t k = b; k < i && !seen; ++k) seen = references_[k].line == n;
      if (seen) continue;
    } else if (i >= second) {
      while (p < second && references_[p].line < n) ++p;
      if (p < second && references_[p].line == n) continue;
    }
    visit(n);
  }
}

}  // namespace vennik
