#pragma once
// What a row of the name table is to the reader of a program, beyond its
// kind in the report: a parameter, a constant, a SUB or FUNCTION, a label,
// or a variable; global or not; used without a declaration. Semantic
// highlighting, completion and the workspace's symbols tell these apart.
#include <cstdint>
#include <string_view>
#include <vector>

#include "language/name_lookup.h"

namespace vennik::language {

enum class NameRole : uint8_t { Variable, Parameter, Constant, Callable, Label };

struct NameFacts {
  NameRole role = NameRole::Variable;
  bool global = false;      // a name of the global scope
  bool undeclared = false;  // used where it is never declared (the report's ***)
};

// Whether the place defines a label: it opens its line and a colon follows
// it. A label's row begins where it is first named, often a GOTO before it.
bool definesLabel(std::string_view line, const Occurrence& place);

// The facts of each row, worked out when first asked for and kept.
class NameRoles {
 public:
  explicit NameRoles(const NameLookup& names);

  NameFacts of(int32_t row);

 private:
  NameFacts work(int32_t row) const;

  const NameLookup& names_;
  std::vector<std::vector<int32_t>> headerLines_;  // by scope: the lines of its headers
  std::vector<uint8_t> known_;                     // by row
  std::vector<NameFacts> facts_;                   // by row
};

}  // namespace vennik::language
