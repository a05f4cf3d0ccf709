#pragma once
// The per-line engine of the analysis: cuts a line into words, drops strings,
// comments, keywords and number literals, and records every remaining name in
// the variable table under the line's scope.
#include <cstdint>

#include "analysis/keyword_table.h"
#include "analysis/text_util.h"
#include "analysis/variable_tables.h"

namespace vennik {

struct ScanContext {
  VariableTables& tables;
  const KeywordTable& keywords;
  const WordList& library;  // the Library names, lower-cased
  // Scratch space reused from line to line.
  Text word = Text();
  Text lowerWord = Text();
};

// True for the characters a name is made of.
inline bool isNameChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' ||
         c == u'_' || c == u'#' || c == u'@' || c == u'$' || c == u'&' || c == u'%' || c == u'!';
}

// Scans one line (with one blank appended by the caller) under `scopePart`
// (the scope name padded to the scope width). Returns the length of the
// longest key among the rows this call added, 0 when it added none.
int32_t scanLine(ScanContext& ctx, TextView line, TextView scopePart, int32_t lineNumber, bool isHeader);

// Gives a definition its own row ("Fn", the header's line). A name already
// defined in this pass gets no second row: the line joins the existing row.
// Returns the length of the key written, 0 when no row was added.
int32_t recordDefinition(VariableTables& tables, TextView paddedName, int32_t lineNumber);

}  // namespace vennik
