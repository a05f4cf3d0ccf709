#include "board/transfer/board_names.h"

#include <vector>

namespace vennik {

namespace {
// In the order the help texts name them: each family of an envelope
// together, then the boards that take programs as files.
constexpr std::array<BoardName, 8> kBoards{{
    {"Micromite", 2, false},
    {"Armite", 2, false},
    {"Picromite", 3, false},
    {"PicoMite", 3, true},
    {"Maximite", 4, false},
    {"Colour Maximite 2", 0, true},
    {"MMBasic for Linux", 0, true},
    {"MMBasic for Windows", 0, true},
}};

std::string joined(const std::vector<std::string_view>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += i + 1 == names.size() ? " and " : ", ";
    out += names[i];
  }
  return out;
}
}  // namespace

const std::array<BoardName, 8>& boardNames() { return kBoards; }

std::string allBoardNames() {
  std::vector<std::string_view> names;
  for (const BoardName& b : kBoards) names.push_back(b.name);
  return joined(names);
}

std::string boardNamesForCopyMode(int32_t mode) {
  const int32_t crunched = mode > 4 ? mode - 3 : mode;
  std::vector<std::string_view> names;
  if (mode >= 2 && mode <= 7) {
    for (const BoardName& b : kBoards)
      if (b.crunchedCopyMode == crunched) names.push_back(b.name);
  }
  return joined(names);
}

std::string boardNamesWithFiles() {
  std::vector<std::string_view> names;
  for (const BoardName& b : kBoards)
    if (b.files) names.push_back(b.name);
  return joined(names);
}

}  // namespace vennik
