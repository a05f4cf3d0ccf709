#pragma once
// A scope of the analysis in words, in each form the features write it, so
// that a hover, a rename refusal, a diagnostic and a completion item name the
// same scope alike.
#include <cstdint>
#include <string>

#include "analysis/analysis.h"

namespace vennik::language {

// A scope named on its own: "global", "main program", "sub Blink".
std::string scopeLabel(const Analysis& a, int32_t scope);
// A scope after "in": "the global names", "the main program", "Blink".
std::string scopePhrase(const Analysis& a, int32_t scope);
// A scope seen from a line inside it: a definition's is "local", the others
// go by their label.
std::string scopeLabelFromInside(const Analysis& a, int32_t scope);

// The first header of a scope's definition, or null.
const Definition* firstDefinition(const Analysis& a, int32_t scope);
// "sub", "function", ... for a definition's scope; "definition" without one.
std::string definitionKindOf(const Analysis& a, int32_t scope);

}  // namespace vennik::language
