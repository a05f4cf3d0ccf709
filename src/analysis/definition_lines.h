#pragma once
// How a whole line stands in the program: a definition header, a definition
// end, a global declaration. Each test lower-cases the (trimmed) line and
// splits it into fields at single blanks; a tab does not split.
#include <string_view>

namespace vennik {

// First field is function, cfunction, sub or csub.
bool isDefinitionHeader(std::string_view line);
// Begins with "end " and field 2 or 3 is function, cfunction, sub, csub or
// definefont.
bool isDefinitionEnd(std::string_view line);
// First field is dim or const.
bool isGlobalDeclaration(std::string_view line);
// Whether the line begins with `lowerPrefix`, ignoring the case of A to Z.
bool startsWithIgnoringCase(std::string_view line, std::string_view lowerPrefix);
// Name of a definition header (or of a DefineFont line): the first non-empty
// field among fields 2 to 19, cut before its first "(". A view into `line`
// (empty at its end when the line names nothing).
std::string_view definitionName(std::string_view line);

}  // namespace vennik
