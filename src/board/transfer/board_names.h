#pragma once
// The boards a program is written for, named once: the command-line tool's
// help texts are made from this list, and the README names them the same.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vennik {

struct BoardName {
  std::string_view name;
  // The copy mode that types a crunched program into this board's auto-save
  // envelope (2, 3 or 4; the uncrunched mode is 3 more); 0 where the copy
  // modes name none.
  int32_t crunchedCopyMode;
  bool files;  // has a file system that XMODEM sends to and receives from
};

const std::array<BoardName, 8>& boardNames();

// "A, B and C": every board in the list's order.
std::string allBoardNames();
// The boards whose envelope a copy mode (2 to 7) types; empty for any other.
std::string boardNamesForCopyMode(int32_t mode);
// The boards with files.
std::string boardNamesWithFiles();

}  // namespace vennik
