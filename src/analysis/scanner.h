#pragma once
// The scanner: reads one line word by word. Strings, comments, keywords and
// numbers are skipped; every other word is a name, found in the line's own
// scope, else in the global scope, else given a row of its own, and each
// occurrence is kept with its place.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"
#include "analysis/library_names.h"
#include "analysis/name_table.h"

namespace vennik {

// Where a line is read.
struct LineScope {
  int32_t scope = 0;         // the scope its names go to
  int32_t spelling = 0;      // the spelling of the scope's name the rows are made under
  bool mainProgram = false;  // declared names are global ones, and make no row here
  bool header = false;       // a definition header: every name on it is declared
  // Firmware reading, before the lines are read under their scopes: only
  // the names a DIM declares (or a CONST outside a definition) are recorded.
  bool globalDeclarationsOnly = false;
  bool insideDefinition = false;
};

// What reading a line found wrong with it.
struct LineFindings {
  bool unpairedQuote = false;
  bool unpairedBracket = false;
};

class Scanner {
 public:
  Scanner(const KeywordTable& keywords, const LibraryNames& library, NameTable& names)
      : keywords_(keywords), library_(library), names_(names) {}

  LineFindings scan(std::string_view line, const LineScope& where);
  // The context words the program uses as variables, by WordInfo::index
  // (see contextWordsUsedAsNames): they are read as names. Empty: none.
  void setContextNames(const std::vector<uint8_t>& used) { contextNames_ = used.empty() ? nullptr : used.data(); }
  void setReading(Reading reading) { firmware_ = reading == Reading::Firmware; }

 private:
  // All the scanner knows while it reads a line.
  struct LineState {
    std::string_view line;
    int32_t scope = 0;
    int32_t spelling = 0;
    bool inGlobalScope = false;  // pass 2's reading of a declaration
    bool inMainScope = false;
    Mark headerMark = Mark::None;  // the mark that follows a definition's name: declared on a header
    bool declareAll = false;       // every name is declared
    Mark mark = Mark::None;        // the mark the next new row gets
    bool skipNext = false;         // the next word is ignored
    bool alignFilter = false;      // alignment codes are ignored from here on
    // The firmware reading follows the statements of the line (cut at ":",
    // THEN and ELSE), which the literal reading does not know.
    int32_t depth = 0;               // brackets open
    int32_t statementWords = 0;      // words met in the statement so far
    bool declaring = false;          // the statement is a DIM, LOCAL, STATIC or CONST
    bool globalDeclaration = false;  // ... one that makes global names
    int32_t declarationDepth = 0;    // the brackets open at its declaration word
    bool initialiser = false;        // after its "=": an expression, whose names are uses
    bool dataItems = false;          // DATA items to the end of the statement
    bool remark = false;             // REM: the rest of the line is a comment
    const char* wordStart = nullptr;
    size_t wordLength = 0;  // 0: no word being collected
    std::string folded;     // the word lower-cased; its buffer is kept from line to line
  };

  void endWord(unsigned char separator) {
    treatWord(separator);
    state_.wordLength = 0;
  }
  void treatWord(unsigned char separator);
  // The firmware reading's view of a word; false when it names nothing.
  bool firmwareWord(const WordInfo*& info, uint32_t& hash);
  void firmwareSeparator(unsigned char c);
  void endStatement();
  void foldWord();
  bool isLabel(unsigned char separator) const;
  void record(uint32_t hash, unsigned char separator);
  void addRow(uint32_t hash, bool label, bool mayBeLibrary);
  void update(int32_t row, bool label);

  const KeywordTable& keywords_;
  const LibraryNames& library_;
  NameTable& names_;
  const uint8_t* contextNames_ = nullptr;
  bool firmware_ = false;
  bool declarationsOnly_ = false;
  bool insideDefinition_ = false;
  LineState state_;
};

}  // namespace vennik
