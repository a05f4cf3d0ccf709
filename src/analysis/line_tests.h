#pragma once
// Tests that decide how the analysis pass treats a whole line. Each lower-cases
// the line and splits it into fields at single blanks (a tab does not split).
#include "analysis/text_util.h"

namespace vennik {

// First word is function, cfunction, sub or csub.
bool isDefinitionHeader(TextView line);
// Begins with "end " and word 2 or 3 is function, cfunction, sub, csub or
// definefont.
bool isDefinitionEnd(TextView line);
// First word is dim or const.
bool isGlobalDeclaration(TextView line);
// Name of a definition header: the first non-empty word among words 2 to 19,
// cut before its first "(" (as written).
Text definitionName(TextView line);

}  // namespace vennik
