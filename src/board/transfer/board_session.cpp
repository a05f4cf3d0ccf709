#include "board/transfer/board_session.h"

#include "board/console/console_reply.h"
#include "board/transfer/transfer_steps.h"
#include "board/typed/link_steps.h"

namespace vennik {

namespace {

// What may come between the end of a transfer and the prompt.
constexpr size_t kLongestAfterTransfer = size_t{64} << 10;

TransferResult failed(LinkStatus status, std::string message) {
  TransferResult r;
  r.failure = failureFor(status == LinkStatus::Interrupted);
  r.message = std::move(message);
  return r;
}

}  // namespace

BoardSession::BoardSession(std::unique_ptr<SerialPort> link, const PortChoice& port, const ConsolePacing& console)
    : link_(std::move(link)), port_(port), console_(console) {}

BoardSession::~BoardSession() = default;

std::unique_ptr<BoardSession> BoardSession::open(const PortChoice& port, const TransferControl& control,
                                                 const ConsolePacing& console, TransferResult& result) {
  std::unique_ptr<SerialPort> link = openPort(port, control, result);
  if (!link) return nullptr;
  const LinkStatus status = breakToPrompt(*link, console);
  if (status != LinkStatus::Ok) {
    TypedCommand typed;
    typed.status = status;
    result = failed(status, commandFailure(typed, "Ctrl-C", port, console, link->lostReason()));
    return nullptr;
  }
  return std::unique_ptr<BoardSession>(new BoardSession(std::move(link), port, console));
}

TransferResult BoardSession::command(const std::string& command, size_t longest, std::string& reply) {
  if (std::string problem = commandLineProblem(command); !problem.empty()) return refused(problem);
  ConsoleReply r = runConsoleCommand(*link_, command, console_, longest);
  reply = std::move(r.text);
  if (!r.echoed) {
    TypedCommand typed;
    typed.status = r.status;
    typed.answer = std::move(r.answer);
    return failed(r.status, commandFailure(typed, command, port_, console_, link_->lostReason()));
  }
  if (r.tooLong) {
    return failed(LinkStatus::Ok, "the board's answer to " + command + " went on past " + std::to_string(longest) +
                                      " bytes or " + seconds(console_.timeout * kLongestAnswer) +
                                      " without its prompt");
  }
  switch (r.status) {
    case LinkStatus::Ok: return {};
    case LinkStatus::TimedOut:
      return failed(r.status, "the board's answer to " + command + " did not end with its prompt " +
                                  quoted(kBoardPrompt) + " within " + seconds(console_.timeout) +
                                  " of its last byte (has a program set a prompt of its own?)");
    case LinkStatus::Lost:
      return failed(r.status, "lost the port '" + port_.path + "' during " + command + ": " + link_->lostReason() +
                                  " (board unplugged or reset?)");
    case LinkStatus::Interrupted: return failed(r.status, "stopped by the user during " + command);
  }
  return {};
}

std::optional<TransferResult> BoardSession::startTransfer(const std::string& command, std::string& after) {
  if (std::string problem = commandLineProblem(command); !problem.empty()) return refused(problem);
  TypedCommand typed = typeCommand(*link_, command, console_.timeout);
  if (typed.status == LinkStatus::Ok && typed.echoed) {
    after = std::move(typed.after);
    return std::nullopt;
  }
  return failed(typed.status, commandFailure(typed, command, port_, console_, link_->lostReason()));
}

TransferResult BoardSession::sendFile(const std::string& name, std::string_view bytes, bool longBlocks,
                                      const XmodemPacing& pacing, const ProgressSink& progress) {
  if (std::string problem = boardFileNameProblem(name); !problem.empty()) return refused(problem);
  std::string after;
  if (auto failure = startTransfer("XMODEM RECEIVE \"" + name + "\"", after)) return *failure;
  const XmodemOutcome x = sendXmodem(*link_, bytes, longBlocks, pacing, std::move(after), progress);
  TransferResult r = xmodemResult(x, port_, pacing, link_->lostReason(), true);
  // A prompt that does not come shows at the next command, which then
  // names what came instead.
  if (r.failure == TransferFailure::None) awaitPrompt(*link_, console_, kLongestAfterTransfer, x.after);
  return r;
}

TransferResult BoardSession::receiveFile(const std::string& name, const XmodemPacing& pacing,
                                         const ProgressSink& progress, std::string& data) {
  if (std::string problem = boardFileNameProblem(name); !problem.empty()) return refused(problem);
  std::string after;
  if (auto failure = startTransfer("XMODEM SEND \"" + name + "\"", after)) return *failure;
  const XmodemOutcome x = receiveXmodem(*link_, pacing, std::move(after), data, progress);
  TransferResult r = xmodemResult(x, port_, pacing, link_->lostReason(), false);
  if (r.failure == TransferFailure::None) awaitPrompt(*link_, console_, kLongestAfterTransfer);
  return r;
}

}  // namespace vennik
