#pragma once
// The firmware lists a program is checked against, as the findings take
// them. The tables stay owned by the lists.
#include "language/board_findings.h"
#include "settings/keywords/keyword_lists.h"

namespace vennik {

inline language::BoardContext boardContext(const FirmwareLists& lists) {
  language::BoardContext board;
  board.chosen = lists.chosen;
  for (const auto& [name, table] : lists.others) board.others.push_back({name, table.get()});
  return board;
}

}  // namespace vennik
