#pragma once
// Crunch: the analysed program without comments and blank lines, and the
// savings it gives.
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/analysis.h"

namespace vennik {

struct CrunchResult {
  std::string text;            // every kept line followed by CR LF (UTF-8)
  int64_t sourceLength = 0;    // characters of the source, CR included
  int64_t crunchedLength = 0;  // characters of `text`
  int64_t furtherSaving = 0;   // see potentialFurtherSaving
  // "File reduced from N to M bytes,(P%). Potential further F bytes"
  std::string message() const;
};

CrunchResult crunch(const Analysis& analysis);

// One line's crunched form (without line end); empty for a comment line.
std::string_view crunchLine(std::string_view line);

// Calls keep(n, kept) for each line that crunch keeps, in order: n the line
// of the analysed program (from 1), kept its crunched form. The crunched
// program and the map of a board's lines back to the source both take the
// lines from here, so that they can never disagree.
template <typename Keep>
void forEachCrunchedLine(const Analysis& analysis, Keep&& keep) {
  for (int32_t n = 1; n <= analysis.lineCount(); ++n) {
    const std::string_view kept = crunchLine(analysis.line(n));
    if (!kept.empty()) keep(n, kept);
  }
}

// Whether a program (any line ends) holds a statement: a line that is
// neither blank nor a comment (' or REM). One that holds none would replace
// a board's program by nothing.
bool holdsStatement(std::string_view program);

// Characters saved if every name longer than 3 characters (definitions and
// calls of them aside) were 3 characters long, once per line that refers to it.
int64_t potentialFurtherSaving(const Analysis& analysis);

std::string savingsMessage(int64_t sourceLength, int64_t crunchedLength, int64_t further);

}  // namespace vennik
