#include "board/transfer/board_transfer.h"

#include <cstdio>
#include <memory>

#include "board/typed/echo_lines.h"
#include "board/typed/link_steps.h"
#include "board/transfer/transfer_steps.h"

namespace vennik {

namespace {

std::string lineOf(size_t line, size_t total, const std::vector<std::string_view>& pieces) {
  std::string text = "line " + std::to_string(line) + " of " + std::to_string(total);
  if (line >= 1 && line <= pieces.size()) {
    std::string_view piece = pieces[line - 1];
    while (!piece.empty() && (piece.back() == '\r' || piece.back() == '\n')) piece.remove_suffix(1);
    text += " (" + quoted(piece) + ")";
  }
  return text;
}

std::string leftText(LeftMode left, bool endWritten) {
  switch (left) {
    case LeftMode::CtrlCSent: return "; Ctrl-C was sent, which leaves AUTOSAVE without saving on the boards that allow it";
    case LeftMode::StillInMode:
      return "; nothing more was sent: the board is still taking the program, and its end key (Ctrl-C) would save "
             "the lines it holds";
    case LeftMode::Unknown:
      return endWritten ? "; the end character had gone out, so the board may have saved the program"
                        : "; the board may still be taking the program";
    case LeftMode::NotEntered: break;
  }
  return {};
}

std::string sendFailure(const SendOutcome& r, std::string_view envelope, const PortChoice& port,
                        const SendPacing& pacing, const std::string& lostReason) {
  const std::vector<std::string_view> pieces = splitSendLines(envelope);
  const std::string after =
      r.linesSent == 0 ? "before the first line" : "after " + lineOf(r.linesSent, r.totalLines, pieces);
  const bool endWritten = r.bytesSent == envelope.size();
  std::string text;
  switch (r.end) {
    case SendEnd::NoEcho:
      text = "stopped " + after + ": the board has not echoed it for " + seconds(pacing.timeout) +
             " (is it at its prompt, at " + std::to_string(port.baud) + " baud?)";
      break;
    case SendEnd::WrongEcho:
      text = "stopped at " + lineOf(r.linesSent, r.totalLines, pieces) + ": the board answered " + quoted(r.echoed) +
             " instead of echoing it";
      break;
    case SendEnd::Stalled:
      text = r.linesSent == r.totalLines
                 ? "the board has not taken the last bytes for " + seconds(pacing.timeout)
                 : "stopped at " + lineOf(r.linesSent + 1, r.totalLines, pieces) + ": the board has taken no bytes for " +
                       seconds(pacing.timeout);
      break;
    case SendEnd::Lost:
      text = "lost the port '" + port.path + "' " + after + ": " + lostReason + " (board unplugged or reset?)";
      break;
    case SendEnd::Interrupted: text = "stopped by the user " + after; break;
    case SendEnd::Done: break;
  }
  return text + leftText(r.left, endWritten);
}

// Stops a running program and types `command`. Empty when the board echoed
// it; `after` gets what came after the echo.
std::optional<TransferResult> startCommand(SerialPort& link, const std::string& command, const PortChoice& port,
                                           const ConsolePacing& pacing, std::string& after) {
  LinkStatus status = breakToPrompt(link, pacing);
  TypedCommand typed;
  typed.status = status;
  if (status == LinkStatus::Ok) typed = typeCommand(link, command, pacing.timeout);
  if (typed.status == LinkStatus::Ok && typed.echoed) {
    after = std::move(typed.after);
    return std::nullopt;
  }
  TransferResult r;
  r.failure = failureFor(typed.status == LinkStatus::Interrupted);
  r.message = commandFailure(typed, command, port, pacing, link.lostReason());
  return r;
}

}  // namespace

std::string boardFileNameProblem(const std::string& name) {
  if (name.empty()) return "the file name on the board is empty";
  for (char c : name) {
    if (c == '"') return "the file name on the board cannot hold a double quote: " + showLine(name);
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return "the file name on the board cannot hold a control character: " + showLine(name);
  }
  return {};
}

std::string commandLineProblem(const std::string& command) {
  if (command.size() <= kBoardLineLimit) return {};
  return "the command " + quoted(command) + " would have " + std::to_string(command.size()) +
         " characters; a board takes at most " + std::to_string(kBoardLineLimit) + " on a line";
}

std::string droppedByteProblem(std::string_view envelope) {
  const std::optional<DroppedByte> dropped = findDroppedByte(envelope);
  if (!dropped) return {};
  const std::vector<std::string_view> pieces = splitSendLines(envelope);
  // The line as a message can show it whatever the terminal's encoding: a
  // byte from 0x80 up as <B0>.
  std::string line;
  for (char c : pieces[dropped->line - 1]) {
    if (c == '\r' || c == '\n') break;
    if (static_cast<unsigned char>(c) < 0x80) {
      line += c;
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "<%02X>", static_cast<unsigned char>(c));
    line += hex;
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", dropped->byte);
  return "line " + std::to_string(dropped->line) + " of " + std::to_string(pieces.size() - 1) + " (" + quoted(line) +
         ") holds the byte " + hex + ", which a board's AUTOSAVE drops (it keeps printable ASCII, TAB and line ends)";
}

TransferResult sendByTyping(const PortChoice& port, std::string_view envelope, const SendPacing& pacing,
                            const TransferControl& control) {
  if (std::string problem = droppedByteProblem(envelope); !problem.empty()) return refused(problem);
  if (std::optional<OverlongSendLine> longLine = findLongLine(envelope)) {
    const std::vector<std::string_view> pieces = splitSendLines(envelope);
    return refused(lineOf(longLine->line, pieces.size() - 1, pieces) + " has " + std::to_string(longLine->length) +
                   " characters; a board takes at most " + std::to_string(kBoardLineLimit) + " on a line");
  }
  TransferResult r;
  std::unique_ptr<SerialPort> link = openPort(port, control, r);
  if (!link) return r;
  const SendOutcome sent = sendProgram(*link, envelope, pacing, control.progress);
  const std::string lostReason = link->lostReason();
  link.reset();  // closed before the caller reports, so the port is free when the user reads it
  r.units = sent.linesSent;
  r.bytes = sent.bytesSent;
  r.elapsed = sent.elapsed;
  if (sent.end != SendEnd::Done) {
    r.failure = failureFor(sent.end == SendEnd::Interrupted);
    r.noEcho = sent.end == SendEnd::NoEcho;
    r.message = sendFailure(sent, envelope, port, pacing, lostReason);
  }
  return r;
}

TransferResult sendByXmodem(const PortChoice& port, const XmodemSendRequest& request,
                            const TransferControl& control) {
  if (request.name) {
    if (std::string problem = boardFileNameProblem(*request.name); !problem.empty()) return refused(problem);
  }
  const std::string command = request.name ? "XMODEM RECEIVE \"" + *request.name + "\"" : "XMODEM RECEIVE";
  if (std::string problem = commandLineProblem(command); !problem.empty()) return refused(problem);
  TransferResult r;
  std::unique_ptr<SerialPort> link = openPort(port, control, r);
  if (!link) return r;
  std::string after;
  if (auto failed = startCommand(*link, command, port, request.console, after)) return *failed;
  const XmodemOutcome x =
      sendXmodem(*link, request.program, request.longBlocks, request.xmodem, std::move(after), control.progress);
  const std::string lostReason = link->lostReason();
  link.reset();
  return xmodemResult(x, port, request.xmodem, lostReason, true);
}

TransferResult openConsole(const PortChoice& port, const std::string& command, const ConsolePacing& pacing,
                           const TransferControl& control, ConsoleSession& session) {
  if (std::string problem = commandLineProblem(command); !problem.empty()) return refused(problem);
  TransferResult r;
  session.port = openPort(port, control, r);
  if (!session.port) return r;
  if (command.empty()) return r;
  if (auto failed = startCommand(*session.port, command, port, pacing, session.after)) {
    session.port.reset();
    return *failed;
  }
  return r;
}

TransferResult receiveByXmodem(const PortChoice& port, const XmodemReceiveRequest& request,
                               const TransferControl& control, std::string& data) {
  if (std::string problem = boardFileNameProblem(request.name); !problem.empty()) return refused(problem);
  const std::string command = "XMODEM SEND \"" + request.name + "\"";
  if (std::string problem = commandLineProblem(command); !problem.empty()) return refused(problem);
  TransferResult r;
  std::unique_ptr<SerialPort> link = openPort(port, control, r);
  if (!link) return r;
  std::string after;
  if (auto failed = startCommand(*link, command, port, request.console, after)) return *failed;
  const XmodemOutcome x = receiveXmodem(*link, request.xmodem, std::move(after), data, control.progress);
  const std::string lostReason = link->lostReason();
  link.reset();
  return xmodemResult(x, port, request.xmodem, lostReason, false);
}

}  // namespace vennik
