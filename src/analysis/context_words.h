#pragma once
// Which context words a program uses as variables. The firmware reads a
// word of groups 2 and 3 only inside its command, so a program may name a
// variable after one; such a word is a name everywhere in that program, and
// the analysis must know so before it reads the first line.
#include <cstdint>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/keyword_table.h"

namespace vennik {

// By WordInfo::index, 1 for each context word that a line declares (DIM,
// LOCAL, STATIC, CONST), takes as a FOR variable, names as a SUB or
// FUNCTION or one of its parameters, assigns at the start of a statement
// (at the line's start or after ":", THEN or ELSE; LET allowed), or defines
// as a label (the line's first word, ":" right after it). Empty when the
// table has no context words.
std::vector<uint8_t> contextWordsUsedAsNames(const Analysis& analysis, const KeywordTable& keywords);

}  // namespace vennik
