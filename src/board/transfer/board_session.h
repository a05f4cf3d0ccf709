#pragma once
// One conversation with a board over several steps: the port opened once, a
// running program stopped once with Ctrl-C, then commands typed at the
// prompt and files sent or fetched by XMODEM one after another, each step
// ending at the board's prompt again. Every step's failure is a result with
// its sentence for the user, as for a single transfer; the port gets its
// settings back when the session ends, however it ends.
#include <memory>
#include <string>
#include <string_view>

#include "board/port/serial_port.h"
#include "board/transfer/board_transfer.h"

namespace vennik {

class BoardSession {
 public:
  // nullptr, and `result` filled, when the port cannot be opened or the
  // board cannot be stopped (gone, or the user stopped first).
  static std::unique_ptr<BoardSession> open(const PortChoice& port, const TransferControl& control,
                                            const ConsolePacing& console, TransferResult& result);
  ~BoardSession();
  BoardSession(const BoardSession&) = delete;
  BoardSession& operator=(const BoardSession&) = delete;

  // Types `command` and reads what the board prints for it, up to its
  // prompt and at most `longest` bytes, into `reply`. A failure when the
  // board does not echo the command, stops answering, keeps printing, goes
  // away, or the user stops.
  TransferResult command(const std::string& command, size_t longest, std::string& reply);

  // Types XMODEM RECEIVE "name" and sends `bytes`; then waits for the prompt.
  TransferResult sendFile(const std::string& name, std::string_view bytes, bool longBlocks, const XmodemPacing& pacing,
                          const ProgressSink& progress);
  // Types XMODEM SEND "name" and receives the file into `data`; then waits
  // for the prompt.
  TransferResult receiveFile(const std::string& name, const XmodemPacing& pacing, const ProgressSink& progress,
                             std::string& data);

  const PortChoice& port() const { return port_; }

 private:
  BoardSession(std::unique_ptr<SerialPort> link, const PortChoice& port, const ConsolePacing& console);
  // Types `command` at the prompt for a transfer; `after` gets what came
  // after its echo.
  std::optional<TransferResult> startTransfer(const std::string& command, std::string& after);

  std::unique_ptr<SerialPort> link_;
  PortChoice port_;
  ConsolePacing console_;
};

}  // namespace vennik
