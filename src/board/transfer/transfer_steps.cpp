#include "board/transfer/transfer_steps.h"

#include <cstdio>

#include "board/typed/echo_lines.h"

namespace vennik {

namespace {

std::string openMessage(const PortChoice& port, const PortOpenError& e) {
  switch (e.kind) {
    case PortOpenFailure::NotFound: return "no serial port '" + port.path + "' (" + e.detail + ")";
    case PortOpenFailure::NoPermission:
      return "no permission to open '" + port.path + "' (" + e.detail +
             "): the user is probably not in the `dialout` group (sudo usermod -aG dialout $USER, then log in again)";
    case PortOpenFailure::InUse:
      return "'" + port.path + "' is in use by another program (a terminal program?); close it first";
    case PortOpenFailure::NotSerial: return "'" + port.path + "' is not a serial port";
    case PortOpenFailure::Other: break;
  }
  return "cannot open '" + port.path + "': " + e.detail;
}

std::string blockOf(const XmodemOutcome& r) {
  std::string text = "block " + std::to_string(r.blocks + 1);
  if (r.totalBlocks > 0) text += " of " + std::to_string(r.totalBlocks);
  return text;
}

std::string xmodemFailure(const XmodemOutcome& r, const PortChoice& port, const XmodemPacing& pacing,
                          const std::string& lostReason, bool sending) {
  const std::string cancel = r.cancelSent ? "; CAN CAN was sent, which ends the board's XMODEM" : "";
  const std::string partial = sending ? "; the file on the board may be incomplete" : "";
  switch (r.end) {
    case XmodemEnd::NoStart:
      return sending ? "the board did not ask for the file within " + std::to_string(pacing.tries) + " x " +
                           seconds(pacing.timeout) + " of the command" + cancel
                     : "the board did not start sending within " + std::to_string(pacing.tries) + " tries of " +
                           seconds(pacing.timeout) + " (does the file exist?)" + cancel;
    case XmodemEnd::Refused:
      return "the board answered with " + quoted(r.refusal) + " instead of " +
             (sending ? std::string("asking for the file; nothing was sent") : std::string("sending the file"));
    case XmodemEnd::TooLarge:
      return "the file is larger than the limit of " + std::to_string(pacing.maxBytes) + " bytes, at " + blockOf(r) +
             cancel;
    case XmodemEnd::GaveUp:
      return "gave up at " + blockOf(r) + " after " + std::to_string(pacing.tries) + " tries" + cancel + partial;
    case XmodemEnd::CancelledByPeer: return "the board cancelled the transfer at " + blockOf(r) + partial;
    case XmodemEnd::OutOfSequence: return "the board sent a block out of sequence at " + blockOf(r) + cancel;
    case XmodemEnd::Lost:
      return "lost the port '" + port.path + "' at " + blockOf(r) + ": " + lostReason + " (board unplugged or reset?)" +
             partial;
    case XmodemEnd::Interrupted: return "stopped by the user at " + blockOf(r) + cancel + partial;
    case XmodemEnd::Done: break;
  }
  return {};
}

}  // namespace

std::string seconds(std::chrono::duration<double> d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f s", d.count());
  return buf;
}

std::string quoted(std::string_view line) { return "\"" + showLine(line) + "\""; }

// The port, open, or the result that says why not.
std::unique_ptr<SerialPort> openPort(const PortChoice& port, const TransferControl& control, TransferResult& result) {
  std::unique_ptr<SerialPort> open = SerialPort::open(port.path, port.baud, control.cancel, result.openError);
  if (!open) {
    result.failure = TransferFailure::PortOpen;
    result.message = openMessage(port, result.openError);
  }
  return open;
}

TransferResult refused(std::string message) {
  TransferResult r;
  r.failure = TransferFailure::Refused;
  r.message = std::move(message);
  return r;
}

std::string commandFailure(const TypedCommand& typed, const std::string& command, const PortChoice& port,
                           const ConsolePacing& pacing, const std::string& lostReason) {
  switch (typed.status) {
    case LinkStatus::Ok: return "the board did not take " + command + ": it answered " + quoted(typed.answer);
    case LinkStatus::TimedOut:
      return "the board has not echoed " + command + " for " + seconds(pacing.timeout) + " (is it at its prompt, at " +
             std::to_string(port.baud) + " baud?)";
    case LinkStatus::Lost: return "lost the port '" + port.path + "': " + lostReason + " (board unplugged or reset?)";
    case LinkStatus::Interrupted: return "stopped by the user before the transfer began";
  }
  return {};
}

TransferFailure failureFor(bool interrupted) { return interrupted ? TransferFailure::Cancelled : TransferFailure::Board; }

TransferResult xmodemResult(const XmodemOutcome& x, const PortChoice& port, const XmodemPacing& pacing,
                            const std::string& lostReason, bool sending) {
  TransferResult r;
  r.units = x.blocks;
  r.bytes = x.bytes;
  r.shortBlocks = x.shortBlocks;
  r.tooLarge = x.end == XmodemEnd::TooLarge;
  r.elapsed = x.elapsed;
  if (x.end != XmodemEnd::Done) {
    r.failure = failureFor(x.end == XmodemEnd::Interrupted);
    r.message = xmodemFailure(x, port, pacing, lostReason, sending);
  }
  return r;
}

}  // namespace vennik
