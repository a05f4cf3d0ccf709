#include "board/keywords/board_tables.h"

#include "board/console/console_reply.h"
#include "board/drive/drive_transfers.h"
#include "board/transfer/board_session.h"
#include "board/transfer/transfer_steps.h"

namespace vennik {

namespace {

TransferResult boardFailure(std::string message) {
  TransferResult r;
  r.failure = TransferFailure::Board;
  r.message = std::move(message);
  return r;
}

// The reply to `command`, or the result that says why there is none.
TransferResult replyTo(BoardSession& session, std::string_view command, std::string& reply) {
  TransferResult r = session.command(std::string(command), kLongestListing, reply);
  if (r.failure != TransferFailure::None) return r;
  if (std::optional<std::string> report = errorReport(reply)) {
    return boardFailure("the board answered " + std::string(command) + " with " + quoted(*report) +
                        ": its firmware cannot list its words; choose a shipped list with --keywords instead");
  }
  return r;
}

}  // namespace

TransferResult readBoardTables(const PortChoice& port, WakeHandle cancel, const ConsolePacing& pacing, BoardTables& tables) {
  TransferControl control;
  control.cancel = cancel;
  TransferResult r;
  std::unique_ptr<BoardSession> session = BoardSession::open(port, control, pacing, r);
  if (!session) return r;
  std::string reply;
  if (r = replyTo(*session, kIdentityCommand, reply); r.failure != TransferFailure::None) return r;
  std::optional<BoardIdentity> identity = readIdentity(reply);
  if (!identity) {
    return boardFailure("the board's answer to " + std::string(kIdentityCommand) + " holds no device name and version: " +
                        quoted(reply));
  }
  tables.identity = std::move(*identity);
  tables.names.clear();
  for (std::string_view command : {kListCommands, kListFunctions}) {
    if (r = replyTo(*session, command, reply); r.failure != TransferFailure::None) return r;
    auto read = readNameTable(reply);
    if (auto* problem = std::get_if<std::string>(&read)) {
      return boardFailure("in the answer to " + std::string(command) + ", " + *problem);
    }
    for (std::string& name : std::get<std::vector<std::string>>(read)) tables.names.push_back(std::move(name));
  }
  return r;
}

}  // namespace vennik
