#pragma once
// What every board takes, whichever firmware it runs.
#include <cstddef>

namespace vennik {

// The most characters a board takes on one line of a program.
inline constexpr size_t kBoardLineLimit = 255;

}  // namespace vennik
