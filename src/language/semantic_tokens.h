#pragma once
// Semantic highlighting: every name of a document as what the analysis
// found it to be (a variable, a parameter, a SUB or FUNCTION, a label, a
// constant), and the keywords of the chosen list, so that an editor colours
// a SUB call apart from an array, and a word the chosen firmware lacks apart
// from one it has.
#include <cstdint>
#include <vector>

#include "analysis/keyword_table.h"
#include "language/program.h"

namespace vennik::language {

// In the order the language server's legend lists them.
enum class TokenType : uint8_t { Variable, Parameter, Function, Label, Constant, Keyword };
inline constexpr int kTokenTypeCount = 6;

// Bits, in the order of the legend's modifiers.
enum TokenModifier : uint8_t {
  kDeclaration = 1,  // where the name is declared (a header, DIM, LOCAL, CONST, a parameter)
  kGlobal = 2,       // a name of the global scope
  kUndeclared = 4,   // used where it is never declared
};
inline constexpr int kTokenModifierCount = 3;

struct SemanticToken {
  Position start;      // in the document
  int32_t length = 0;  // bytes, on one line
  TokenType type = TokenType::Variable;
  uint8_t modifiers = 0;
};

// The tokens of one document of the program, in document order, none
// overlapping.
std::vector<SemanticToken> semanticTokens(const Program& program, DocumentId document, const KeywordTable& keywords);

}  // namespace vennik::language
