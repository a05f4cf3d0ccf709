#pragma once
// Signature help for the program's own SUBs and FUNCTIONs: inside the
// brackets of a call, or after a SUB called as a statement, the header of
// the definition called, its parameters, and the one the cursor is at.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "language/program.h"

namespace vennik::language {

struct SignatureParameter {
  int32_t begin = 0;  // bytes of the label
  int32_t end = 0;
};

struct Signature {
  std::string label;  // the header as written, without its comment
  std::vector<SignatureParameter> parameters;
  int32_t activeParameter = 0;  // may be past the last parameter when too many are given
};

// Nothing when the position is in no call of a definition of the program.
std::optional<Signature> signatureHelp(const Program& program, DocumentId document, Position p);

}  // namespace vennik::language
