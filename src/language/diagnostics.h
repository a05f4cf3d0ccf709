#pragma once
// The findings of an analysis as diagnostics: unpaired brackets and quotes,
// long lines, names used without a declaration in a definition or the main
// program, #INCLUDE lines that name no file to be had, and what no board
// would take (a line or a name too long).
#include <string>
#include <string_view>
#include <vector>

#include "analysis/board_limits.h"
#include "language/board_findings.h"
#include "language/program.h"

namespace vennik::language {

struct Diagnostic {
  Range range;
  Severity severity = Severity::Information;
  // unpaired-bracket, unpaired-quote, long-line, undeclared, include,
  // line-too-long, name-too-long, other-firmware, type-suffixes
  std::string_view code;
  std::string message;
  friend bool operator==(const Diagnostic&, const Diagnostic&) = default;
};

// What the firmware the program is written for takes.
struct BoardLimits {
  int32_t lineLength = static_cast<int32_t>(kBoardLineLimit);  // characters, leading blanks counted
  int32_t nameLength = 32;  // characters, a type suffix ($ % !) not counted
};

// The diagnostics of every document of the program, by DocumentId, found
// in one pass over it. An #INCLUDE line's error in a document that is not
// `shown` (by DocumentId; every one is, when it is empty) is told on
// the #INCLUDE line of the nearest shown document that leads to it, naming
// the file and line it stands in: a missing file or a cycle deep down is
// seen where the editor shows the program.
std::vector<std::vector<Diagnostic>> diagnosticsByDocument(const Program& program, const BoardLimits& limits = {},
                                                           const BoardContext& board = {},
                                                           const std::vector<bool>& shown = {});

// The diagnostics about the lines of one document of the program, shown
// alone.
std::vector<Diagnostic> diagnostics(const Program& program, DocumentId document, const BoardLimits& limits = {},
                                    const BoardContext& board = {});

}  // namespace vennik::language
