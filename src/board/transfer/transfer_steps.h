#pragma once
// The pieces every transfer to or from a board is made of, shared by the
// single transfers (board_transfer.h) and a session of several
// (board_session.h): opening the port, and each way a step can end as the
// result and sentence the user reads.
#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "board/port/serial_port.h"
#include "board/transfer/board_transfer.h"
#include "board/typed/link_steps.h"
#include "board/xmodem/xmodem_transfer.h"

namespace vennik {

// "1.2 s"
std::string seconds(std::chrono::duration<double> d);
// A line of the board's in double quotes, control characters shown.
std::string quoted(std::string_view line);

// The port, open, or nullptr and the result that says why not.
std::unique_ptr<SerialPort> openPort(const PortChoice& port, const TransferControl& control, TransferResult& result);

// A request refused before the port is opened.
TransferResult refused(std::string message);

TransferFailure failureFor(bool interrupted);

// Why a command typed at the prompt did not go through.
std::string commandFailure(const TypedCommand& typed, const std::string& command, const PortChoice& port,
                           const ConsolePacing& pacing, const std::string& lostReason);

// An XMODEM transfer's outcome as a result; `sending` when the file went to
// the board.
TransferResult xmodemResult(const XmodemOutcome& x, const PortChoice& port, const XmodemPacing& pacing,
                            const std::string& lostReason, bool sending);

}  // namespace vennik
