#include "cli_send.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli_copy_bytes.h"
#include "shell/serial/interrupt_signal.h"
#include "shell/serial/line_sender.h"
#include "shell/serial/serial_port.h"

namespace vennik::cli {

namespace {

// Exit code of a send the user stopped, as a shell reports a Ctrl-C.
constexpr int kInterruptedExit = 130;

struct SendOptions {
  CommonOptions common;
  std::string port;
  int mode = 2;
  int baud = 115200;
  bool noEcho = false;
  int lineDelayMs = 30;
  double timeoutSeconds = 3;
};

std::string openFailure(const std::string& port, const PortOpenError& e) {
  switch (e.kind) {
    case PortOpenFailure::NotFound:
      return "no serial port '" + port + "' (" + e.detail + "); `vennikplus-cli ports` lists the ports";
    case PortOpenFailure::NoPermission:
      return "no permission to open '" + port + "' (" + e.detail +
             "): the user is probably not in the `dialout` group (sudo usermod -aG dialout $USER, then log in again)";
    case PortOpenFailure::InUse:
      return "'" + port + "' is in use by another program (a terminal program?); close it first";
    case PortOpenFailure::NotSerial: return "'" + port + "' is not a serial port";
    case PortOpenFailure::Other: break;
  }
  return "cannot open '" + port + "': " + e.detail;
}

std::string lineText(size_t line, size_t total) {
  return "line " + std::to_string(line) + " of " + std::to_string(total);
}

std::string secondsText(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f s", seconds);
  return buf;
}

// The message for a send that did not finish.
std::string failure(const SendOutcome& r, const SendOptions& o, const std::string& lostReason) {
  const std::string wait = secondsText(o.timeoutSeconds);
  const std::string after = r.linesSent == 0 ? "before the first line" : "after " + lineText(r.linesSent, r.totalLines);
  switch (r.end) {
    case SendEnd::NoEcho:
      return "stopped " + after + ": the board has not echoed it for " + wait + " (is it at its prompt, at " +
             std::to_string(o.baud) + " baud? --no-echo for a board that does not echo)";
    case SendEnd::Stalled:
      if (r.linesSent == r.totalLines) return "the board has not taken the last bytes for " + wait;
      return "stopped at " + lineText(r.linesSent + 1, r.totalLines) + ": the board has taken no bytes for " + wait;
    case SendEnd::Lost:
      return "lost the port '" + o.port + "' " + after + ": " + lostReason + " (board unplugged or reset?)";
    case SendEnd::Interrupted: return "stopped by the user " + after;
    case SendEnd::Done: break;
  }
  return {};
}

}  // namespace

void addSendCommand(CLI::App& app) {
  auto opts = std::make_shared<SendOptions>();
  CLI::App* cmd = app.add_subcommand(
      "send", "Send a program to a board over its serial port, in a copy mode's envelope, line by line");
  cmd->add_option("--port", opts->port, "Serial port, e.g. /dev/ttyACM0 (see `ports`)")->required();
  cmd->add_option("--mode", opts->mode, "Copy mode 2 to 7, as for `copy` (default 2)")
      ->check(CLI::Validator(
          [](std::string& in) -> std::string {
            if (in == "1") return "mode 1 copies the report, not a program; a board takes modes 2 to 7";
            return {};
          },
          "", "NOT_REPORT"))
      ->check(CLI::Range(2, 7));
  cmd->add_option("--baud", opts->baud, "Bits per second (default 115200)")
      ->check(CLI::Validator(
          [](std::string& in) -> std::string {
            try {
              if (serialBaudSupported(std::stoi(in))) return {};
            } catch (const std::exception&) {
            }
            return "not a standard baud rate: " + in;
          },
          "BAUD", "BAUD"));
  cmd->add_flag("--no-echo", opts->noEcho, "Do not wait for the board's echo; pause --line-delay after each line");
  cmd->add_option("--line-delay", opts->lineDelayMs, "Pause after each line with --no-echo, in ms (default 30)")
      ->check(CLI::Range(0, 60'000));
  cmd->add_option("--timeout", opts->timeoutSeconds, "Give up when the board is silent this long, in s (default 3)")
      ->check(CLI::Range(0.1, 3600.0));
  addCommonOptions(*cmd, opts->common, false);

  cmd->callback([opts] {
    // The file first: a file that cannot be read leaves the board alone.
    std::ostringstream bytes;
    writeCopyBytes(opts->common, opts->mode, bytes);
    const std::string program = bytes.str();

    InterruptSignal interrupt;
    PortOpenError error;
    std::unique_ptr<SerialPort> port = SerialPort::open(opts->port, opts->baud, interrupt.fd(), error);
    if (!port) throw CliError{openFailure(opts->port, error)};

    SendPacing pacing;
    pacing.waitForEcho = !opts->noEcho;
    pacing.lineDelay = std::chrono::milliseconds(opts->lineDelayMs);
    pacing.timeout = std::chrono::milliseconds(static_cast<long>(opts->timeoutSeconds * 1000));
    const SendOutcome r = sendProgram(*port, program, pacing);
    const std::string lostReason = port->lostReason();
    port.reset();  // closed before the message, so the port is free when the user reads it

    if (r.end == SendEnd::Interrupted) throw CliError{failure(r, *opts, lostReason), kInterruptedExit};
    if (r.end != SendEnd::Done) throw CliError{failure(r, *opts, lostReason)};
    std::cout << "Sent " << r.totalLines << " lines, " << r.bytesSent << " bytes in "
              << secondsText(r.elapsed.count()) << '\n';
  });
}

}  // namespace vennik::cli
