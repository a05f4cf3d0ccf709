#pragma once
// Moving a program onto a board or a file off it over its serial port, as
// the command-line tool and the desktop program both do it: typed into the
// AUTOSAVE prompt, or by XMODEM for boards with files. Each call opens the
// port, stops a running program with Ctrl-C, does its transfer, and closes
// the port with the settings it had. Nothing here writes to a terminal:
// progress goes to a callback, and the caller stops a transfer through a
// wake handle (the user's stop signals, a Cancel button's event).
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "base/wake_handle.h"
#include "board/typed/line_sender.h"
#include "board/port/serial_port.h"
#include "board/transfer/transfer_progress.h"
#include "board/xmodem/xmodem_transfer.h"

namespace vennik {

struct PortChoice {
  std::string path;
  int baud = 115200;
};

struct TransferControl {
  WakeHandle cancel;  // wakes: stop (by default never)
  ProgressSink progress;
};

enum class TransferFailure {
  None,
  Refused,    // the request cannot go to a board; the port was not opened
  PortOpen,   // see openError
  Board,      // the transfer failed on the way
  Cancelled,  // the caller stopped it
};

struct TransferResult {
  TransferFailure failure = TransferFailure::None;
  // For a failure: what went wrong, the line or block reached and the state
  // the board is left in, as one sentence for the user.
  std::string message;
  PortOpenError openError;
  bool noEcho = false;  // Board: the board stopped echoing (the user may want the no-echo pacing)
  // What moved: lines or blocks, and bytes.
  size_t units = 0;
  size_t bytes = 0;
  bool tooLarge = false;     // Board: a received file was larger than allowed
  bool shortBlocks = false;  // the board refused 1K blocks: 128-byte ones went instead
  std::chrono::duration<double> elapsed{};
};

// Types a copy mode's envelope (its bytes as the board gets them, the end
// character last) line by line. Refused when a line is longer than a board
// takes, or holds a byte its AUTOSAVE drops.
TransferResult sendByTyping(const PortChoice& port, std::string_view envelope, const SendPacing& pacing,
                            const TransferControl& control);

struct XmodemSendRequest {
  std::string_view program;  // the bytes to send, as they are
  // The file on the board; nullopt: into program memory (a board without
  // files). Refused when it cannot be typed inside quotes.
  std::optional<std::string> name;
  bool longBlocks = false;
  ConsolePacing console;
  XmodemPacing xmodem;
};

// Types XMODEM RECEIVE "NAME" and sends the program.
TransferResult sendByXmodem(const PortChoice& port, const XmodemSendRequest& request,
                            const TransferControl& control);

struct XmodemReceiveRequest {
  std::string name;  // the file on the board
  ConsolePacing console;
  XmodemPacing xmodem;
};

// Types XMODEM SEND "NAME" and receives the file into `data`, without the
// padding after its end.
TransferResult receiveByXmodem(const PortChoice& port, const XmodemReceiveRequest& request,
                               const TransferControl& control, std::string& data);

// A port held open for a console session, and what the board printed after
// the echo of the command that began it.
struct ConsoleSession {
  std::unique_ptr<SerialPort> port;
  std::string after;
};

// Opens the port for a console session. With a command, stops a running
// program with Ctrl-C and types the command, which the board must echo
// (RUN after a send); without one, leaves the board as it is (a terminal).
// The session holds the port open; it closes, its settings given back, when
// the session goes.
TransferResult openConsole(const PortChoice& port, const std::string& command, const ConsolePacing& pacing,
                           const TransferControl& control, ConsoleSession& session);

// Why `name` cannot be typed as a file name inside quotes; empty when it can.
std::string boardFileNameProblem(const std::string& name);

// Why `command` cannot be typed at a board's prompt (longer than a board
// takes on a line); empty when it can.
std::string commandLineProblem(const std::string& command);

// "line 3 of 4 holds the byte 0xB0, which a board's AUTOSAVE drops"; empty
// when the envelope holds no such byte.
std::string droppedByteProblem(std::string_view envelope);

}  // namespace vennik
