#pragma once
// What `run` and `term` share: a console session on the board's port with
// the user's terminal set up for it (keys as typed, Ctrl-] leaves), the
// board's output on standard output, and each of its error reports also
// printed as FILE:LINE:COLUMN: error: MESSAGE, the form compilers use, so
// that an editor's compile mode jumps to the file and line the board's line
// came from.
#include <chrono>
#include <string>

#include "analysis/includes/board_line_map.h"
#include "board/console/board_output.h"
#include "board/console/console_relay.h"
#include "board/transfer/board_transfer.h"
#include "system/signals/stop_signals.h"

namespace vennik::cli {

// Ctrl-C, SIGTERM and SIGHUP end a session cleanly (the terminal and the
// port given back as they were), and so does a closed output (SIGPIPE).
StopSignals consoleSignals();

struct ConsoleOptions {
  bool endAtPrompt = false;        // `run`: until the program has ended
  const BoardLineMap* map = nullptr;  // the program on the board, when known
  std::chrono::milliseconds keyTimeout{3000};
  std::string help;                // the line shown once the keys go to the board
  bool helpForTerminalOnly = false;  // shown only when the keys come from a terminal
};

struct ConsoleResult {
  RelayOutcome outcome;
  size_t reports = 0;  // error reports the board printed
};

// Holds the session until the relay ends.
ConsoleResult holdConsole(ConsoleSession& session, const ConsoleOptions& options);

// The line an editor reads for a report ("inc/util.inc:12:1: error: Divide
// by zero", with its line end); empty when the map leads the report to no
// file. A path under the current folder is shown relative to it.
std::string compilerLine(const BoardErrorReport& report, const BoardLineMap* map);

// A path as the tool shows a place: relative to the current folder when it
// lies under it, else as it is.
std::string shownPath(const std::string& path);

}  // namespace vennik::cli
