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

// Whether a program (any line ends) holds a statement: a line that is
// neither blank nor a comment (' or REM). One that holds none would replace
// a board's program by nothing.
bool holdsStatement(std::string_view program);

// Characters saved if every name longer than 3 characters (definitions and
// calls of them aside) were 3 characters long, once per line that refers to it.
int64_t potentialFurtherSaving(const Analysis& analysis);

std::string savingsMessage(int64_t sourceLength, int64_t crunchedLength, int64_t further);

}  // namespace vennik
