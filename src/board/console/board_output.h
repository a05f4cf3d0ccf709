#pragma once
// A board's console output read as it comes, for the error reports it
// prints when a program stops and for its prompt. The firmwares word a
// report in one of two ways:
//   [12] Print 1/0                (the PicoMite family, the Micromites:
//   Error : Divide by zero         the line as the board lists it, then the
//                                  message; "[LIBRARY]" for the Library)
//   Error in line 12: Divide by zero          (the Colour Maximite 2,
//   Error in util.inc line 3: Divide by zero   MMBasic for Linux and Windows)
// and an error of a command typed at the prompt has no line: "Error : ..."
// alone, or "Error: ...".
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/includes/board_line_map.h"

namespace vennik {

struct BoardErrorReport {
  // The board's line number, as `count` counts it; nullopt for an error at
  // the prompt or in the Library.
  std::optional<int64_t> line;
  BoardLineCount count = BoardLineCount::Memory;
  // "Error in FILE line N": FILE as the board names it (an included file it
  // loaded itself); empty for the program's own lines.
  std::string file;
  bool library = false;  // "[LIBRARY] ..."
  std::string message;   // may be empty ("Error" alone)
};

// Reads the output piece by piece, passes it on unchanged, and tells of each
// error report once its last line has come, in the output's order: after
// the piece that ends the report (its line end included), before what
// follows. Memory stays bounded whatever the board sends: only the first
// bytes of a line are looked at.
class BoardOutputReader {
 public:
  using Pass = std::function<void(std::string_view)>;
  using Report = std::function<void(const BoardErrorReport&)>;

  BoardOutputReader(Pass pass, Report report) : pass_(std::move(pass)), report_(std::move(report)) {}

  void add(std::string_view bytes);
  // The output has ended: a report whose last line end has not come is told.
  void finish();
  // Whether the output so far ends at the board's prompt: "> " alone at the
  // start of a line, nothing after it.
  bool atPrompt() const { return line_ == "> "; }
  // How many error reports have been told.
  size_t reports() const { return reports_; }

 private:
  void endLine();
  void tell(BoardErrorReport report);

  static constexpr size_t kLookedAt = 512;

  Pass pass_;
  Report report_;
  std::string line_;        // the first kLookedAt bytes of the line under way, as text
  enum class Escape { None, Start, Csi } escape_ = Escape::None;
  bool afterCr_ = false;    // the last byte was a CR, whose LF may follow
  std::optional<BoardErrorReport> ready_;    // told once its line end is whole
  std::optional<BoardErrorReport> pending_;  // "[N] text" waiting for its "Error" line
  size_t reports_ = 0;
};

}  // namespace vennik
