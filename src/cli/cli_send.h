#pragma once
// `send`, and the sending that `run` shares with it: the options, the
// program made ready (flattened, crunched or not), the transfer, and the map
// of the board's lines back to the files, kept for the port.
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/includes/board_line_map.h"
#include "cli/cli_board_options.h"
#include "cli/cli_common.h"

namespace vennik::cli {

struct SendOptions {
  CommonOptions common;
  PortOptions port;
  int mode = 2;
  bool noEcho = false;
  int lineDelayMs = 30;
  bool xmodem = false;
  std::optional<std::string> as;
  bool memory = false;
  bool longBlocks = false;
  bool noFlatten = false;
  bool allowOutside = false;
};

// What decides the board's lines: --mode, --xmodem, --memory, --no-flatten
// and --allow-outside (`where` and `term --program` take these alone).
void addShapeOptions(CLI::App& cmd, SendOptions& opts);
// All of send's options, FILE and the port's among them.
void addSendOptions(CLI::App& cmd, SendOptions& opts);

// The map of the board's lines for FILE sent so, without sending it.
// Throws CliError as `send` would before opening the port.
BoardLineMap mapOfSend(const SendOptions& opts);

struct SentProgram {
  BoardLineMap map;                       // the board's lines back to the files
  std::optional<std::string> boardFile;   // XMODEM to a file: its name on the board
  std::string summary;                    // "Sent 12 lines, 300 bytes in 0.4 s", without a line end
};

// Sends FILE as `send` does and keeps its line map for the port (with a note
// on standard error when it cannot). Throws CliError as `send` fails.
SentProgram sendToBoard(const SendOptions& opts);

// The port as the kept maps know it: the path with its links followed, so
// that /dev/serial/by-id/... and /dev/ttyACM0 are one port.
std::string portKey(const std::string& port);
// The folder the line maps are kept in: beside the settings file in use
// (--settings, else the desktop program's).
std::string keptMapsFolder(const CommonOptions& opts);

// `send`: sends a program to a board over its serial port, in the envelope
// of a copy mode, line by line at the pace of the board's echo.
void addSendCommand(CLI::App& app);

}  // namespace vennik::cli
