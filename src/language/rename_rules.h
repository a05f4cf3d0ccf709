#pragma once
// Which names a rename may give: a name that the analysis reads as a name
// where it stands, and that no place of the program already means something
// else by.
#include <string>
#include <string_view>
#include <vector>

#include "analysis/keyword_table.h"
#include "language/name_lookup.h"

namespace vennik::language {

// Why `newName` cannot replace the name of `rows`, or empty when it can.
// `rows` must hold every row that shares a place with one of them.
std::string renameRefusal(const NameLookup& names, const KeywordTable& keywords, const std::vector<int32_t>& rows,
                          std::string_view oldName, std::string_view newName);

}  // namespace vennik::language
