#pragma once
// The order in which the report lists the rows: by their keys (scope part,
// then "\ " and the name, or five blanks for a definition's own row) padded
// or cut to the key column, A to Z compared as lower case, ties broken by
// the row number.
#include <cstdint>
#include "base/big_array.h"

namespace vennik {

class Analysis;

BigArray<int32_t> listingOrder(const Analysis& a);

}  // namespace vennik
