#pragma once
// The map of a board's lines for a program as the tool sends it: the
// assembled program as it is (copy modes 5 to 7, XMODEM), or crunched
// (copy modes 2 to 4), whose every dropped comment and blank line moves the
// board's numbers further from the files'.
#include "analysis/analysis.h"
#include "analysis/includes/assemble_program.h"
#include "analysis/includes/board_line_map.h"

namespace vennik {

// Where the program goes: typed into AUTOSAVE or received into program
// memory, or into a file that RUN "NAME" loads (and heads with a title line
// of its own, so that the file's first line is counted).
enum class SentInto { Memory, File };

BoardLineMap linesSentAsIs(const AssembledProgram& program, SentInto into);

// `analysis` is the analysis of program.text, whose crunch was sent.
BoardLineMap linesSentCrunched(const AssembledProgram& program, const Analysis& analysis);

}  // namespace vennik
