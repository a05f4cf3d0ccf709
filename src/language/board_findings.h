#pragma once
// What the board itself would refuse or stop at, found in an analysis: a
// name used without a declaration under OPTION EXPLICIT, a word of another
// firmware that the chosen one lacks, one name written with two type
// suffixes. The language server shows them as diagnostics and the JSON
// report lists them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"

namespace vennik::language {

enum class Severity { Error, Warning, Information };
std::string_view severityWord(Severity severity);  // error, warning, information

// A firmware's keyword list as the findings name it.
struct FirmwareList {
  std::string name;  // "PicoMite", "CMM2 6.00"
  const KeywordTable* table = nullptr;
};

// The firmware a program is written for, and the others the program might
// have been written for.
struct BoardContext {
  std::string chosen = "the chosen firmware";  // as in "CMM2 6.00 has no such word"
  std::vector<FirmwareList> others;
};

struct BoardFinding {
  int32_t row = -1;        // the name's row; the finding stands at its first place
  Severity severity = Severity::Information;
  std::string_view code;   // undeclared, other-firmware, type-suffixes
  std::string message;
};

// Whether the program asks for OPTION EXPLICIT (in any case, as a statement
// of its own).
bool hasOptionExplicit(const Analysis& analysis);

// Every finding, in row order.
std::vector<BoardFinding> boardFindings(const Analysis& analysis, const BoardContext& board);

}  // namespace vennik::language
