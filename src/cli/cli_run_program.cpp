#include "cli/cli_run_program.h"

#include <csignal>
#include <iostream>
#include <memory>

#include "cli/cli_console.h"
#include "cli/cli_send.h"

namespace vennik::cli {

namespace {

// The exit codes of `run`: the program's outcome first, then what kept it
// from running.
constexpr int kEndedWell = 0;
constexpr int kBoardError = 1;
constexpr int kNotSent = 3;  // the send or the port failed
constexpr int kLeft = 4;     // the user left before the program ended

std::string runCommand(const SentProgram& sent) {
  return sent.boardFile ? "RUN \"" + *sent.boardFile + "\"" : "RUN";
}

int runOnBoard(const SendOptions& opts) {
  SentProgram sent;
  try {
    sent = sendToBoard(opts);
  } catch (const CliError& e) {
    // 1 is the program's error on the board: a send that fails says so
    // with a code of its own.
    throw CliError{e.message, e.exitCode == 1 ? kNotSent : e.exitCode};
  }
  std::cerr << sent.summary << '\n';

  const StopSignals signals = consoleSignals();
  ConsolePacing pacing;
  pacing.timeout = timeoutOf(opts.port);
  ConsoleSession session;
  const std::string command = runCommand(sent);
  const TransferResult opened = openConsole(portChoice(opts.port), command, pacing, {signals.wake(), {}}, session);
  if (opened.failure != TransferFailure::None) {
    try {
      throwIfFailed(opened, signals);
    } catch (const CliError& e) {
      throw CliError{"the program was sent, but " + e.message, e.exitCode == 1 ? kNotSent : e.exitCode};
    }
  }
  ConsoleOptions console;
  console.endAtPrompt = true;
  console.map = &sent.map;
  console.keyTimeout = timeoutOf(opts.port);
  console.help = command + ": Ctrl-] leaves (the program runs on), every other key goes to the board, Ctrl-C too";
  console.helpForTerminalOnly = true;
  const ConsoleResult result = holdConsole(session, console);
  session.port.reset();  // the port given back before the user reads the outcome

  switch (result.outcome.end) {
    case RelayEnd::Prompt: return result.reports > 0 ? kBoardError : kEndedWell;
    case RelayEnd::Left: return kLeft;
    case RelayEnd::Interrupted: {
      const int signal = signals.first();
      throw CliError{"stopped by the user; the program may still be running on the board",
                     128 + (signal > 0 ? signal : SIGINT)};
    }
    case RelayEnd::Lost:
      throw CliError{"lost the port '" + opts.port.port + "' while the program ran: " + result.outcome.lostReason +
                         " (board unplugged or reset?)",
                     kNotSent};
    case RelayEnd::Stalled:
      throw CliError{"the board took no key for " + secondsText(opts.port.timeoutSeconds) +
                         "; the program may still be running on it",
                     kNotSent};
  }
  return kNotSent;
}

}  // namespace

void addRunCommand(CLI::App& app) {
  auto opts = std::make_shared<SendOptions>();
  CLI::App* cmd = app.add_subcommand(
      "run",
      "Send a program as `send` does, run it, and show its output until it ends; the board's errors are also "
      "printed as FILE:LINE:COLUMN: error: MESSAGE for editors");
  addSendOptions(*cmd, *opts);
  cmd->callback([opts] {
    const int code = runOnBoard(*opts);
    if (code != 0) throw CliError{{}, code};
  });
}

}  // namespace vennik::cli
