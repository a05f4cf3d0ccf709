#pragma once
// What `send` and `receive` share: the port's options with their safe
// defaults, the signals that stop a transfer, and the end of a transfer as
// a message and an exit code.
#include <string>

#include <CLI/CLI.hpp>

#include "board/transfer/board_transfer.h"
#include "system/signals/stop_signals.h"

namespace vennik::cli {

struct PortOptions {
  std::string port;
  int baud = 115200;
  bool force = false;
  double timeoutSeconds = 3;
};

// Adds --port, --baud, --force (what else it allows, if anything, in
// `forceAlso`) and --timeout.
void addPortOptions(CLI::App& cmd, PortOptions& opts, const std::string& forceAlso = {});

// The port to open. Throws CliError, exit 2, for 1200 baud without --force.
PortChoice portChoice(const PortOptions& opts);
std::chrono::milliseconds timeoutOf(const PortOptions& opts);

// Ctrl-C, SIGTERM and SIGHUP (the terminal closed), or on Windows Ctrl-C,
// Ctrl-Break and the console closed, stop a transfer cleanly: the port gets
// its settings back and its lock released.
StopSignals transferSignals();

// Throws CliError with the transfer's message when it failed: exit 1, or
// 128 plus the signal's number when a signal stopped it.
void throwIfFailed(const TransferResult& r, const StopSignals& signals);

// "1.2 s"
std::string secondsText(double seconds);

}  // namespace vennik::cli
