#pragma once
// The findings of an analysis as diagnostics: unpaired brackets and quotes,
// long lines, names used without a declaration in a definition or the main
// program, and #INCLUDE lines that name no file to be had.
#include <string>
#include <string_view>
#include <vector>

#include "language/program.h"

namespace vennik::language {

enum class Severity { Error, Warning, Information };

struct Diagnostic {
  Range range;
  Severity severity = Severity::Information;
  std::string_view code;  // unpaired-bracket, unpaired-quote, long-line, undeclared, include
  std::string message;
};

// The diagnostics about the lines of one document of the program.
std::vector<Diagnostic> diagnostics(const Program& program, DocumentId document);

}  // namespace vennik::language
