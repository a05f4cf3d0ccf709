#pragma once
// Asking a board for its own words: its device name and version, then its
// LIST COMMANDS and LIST FUNCTIONS tables, over one session.
#include <string>
#include <vector>

#include "board/keywords/board_keywords.h"
#include "board/transfer/board_transfer.h"

namespace vennik {

struct BoardTables {
  BoardIdentity identity;
  std::vector<std::string> names;  // the commands, then the functions and operators
};

// A failure names the command whose answer was not what a board of this
// family gives (an error report: a firmware without that command).
TransferResult readBoardTables(const PortChoice& port, WakeHandle cancel, const ConsolePacing& pacing, BoardTables& tables);

}  // namespace vennik
