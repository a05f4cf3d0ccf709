#pragma once
// Where each line of a program a board holds came from. A board numbers the
// lines of the program it runs and names that number when the program stops
// with an error; after flattening and crunching, that number is no line of
// any file the user edits. The map, made when the program is sent, leads
// back to the file and line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/includes/assemble_program.h"

namespace vennik {

// How a board's error report counts the lines of its program.
enum class BoardLineCount {
  // "[N] text" (the PicoMite family, the Micromites): the lines of the
  // program in memory, but a first line that begins with '# is a title and
  // not counted (the PicoMite's LOAD and RUN "NAME" put one there).
  Memory,
  // "Error in line N:" (the Colour Maximite 2, MMBasic for Linux and
  // Windows): the lines of the file the board loaded, every one counted.
  File,
};

struct BoardLineMap {
  std::vector<std::string> files;  // the main file first
  std::vector<LineOrigin> lines;   // the board's line k at lines[k - 1]
  // The program went into memory as it is and its first line begins with
  // '#: a "[N]" report counts from the line after it.
  bool titleLine = false;

  // The file and line the board's line `n` came from; nullopt when the
  // program has no such line.
  std::optional<LineOrigin> origin(int64_t n, BoardLineCount count) const;
};

// Whether a board's program that begins with this line leaves it out of the
// count of a "[N]" report.
bool isTitleLine(std::string_view firstLine);

// The map as text, to keep it between runs: a header, the title flag, one
// line per file, then runs of lines that follow each other in one file.
// Empty when a file's path holds a line end, which the text cannot keep.
std::string lineMapText(const BoardLineMap& map);
// The map from its text; nullopt when the text is not one (a damaged or
// foreign file), `problem` then says where.
std::optional<BoardLineMap> lineMapFromText(std::string_view text, std::string* problem = nullptr);

}  // namespace vennik
