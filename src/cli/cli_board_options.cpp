#include "cli/cli_board_options.h"

#include <csignal>
#include <cmath>
#include <cstdio>

#include "cli/cli_common.h"

namespace vennik::cli {

namespace {

// A number in [low, high]; CLI::Range lets NaN through, since it fails no
// comparison.
CLI::Validator finiteRange(double low, double high) {
  return CLI::Validator(
      [low, high](std::string& in) -> std::string {
        double value = 0;
        if (!CLI::detail::lexical_cast(in, value) || !std::isfinite(value) || value < low || value > high) {
          return "not a number from " + CLI::detail::to_string(low) + " to " + CLI::detail::to_string(high) + ": " + in;
        }
        return {};
      },
      "FLOAT in [" + CLI::detail::to_string(low) + " - " + CLI::detail::to_string(high) + "]", "FINITE_RANGE");
}

}  // namespace

void addPortOptions(CLI::App& cmd, PortOptions& opts, const std::string& forceAlso) {
  cmd.add_option("--port", opts.port, "Serial port, e.g. /dev/ttyACM0 or COM5 (see `ports`)")->required();
  cmd.add_option("--baud", opts.baud, "Bits per second (default 115200; 1200 only with --force)")
      ->check(CLI::Validator(
          [](std::string& in) -> std::string {
            int baud = 0;
            if (CLI::detail::lexical_cast(in, baud) && serialBaudSupported(baud)) return {};
            return "not a standard baud rate: " + in;
          },
          "BAUD", "BAUD"));
  cmd.add_flag("--force", opts.force, "Open the port at 1200 baud all the same" + forceAlso);
  cmd.add_option("--timeout", opts.timeoutSeconds,
                 "Give up when the board has not answered for this long, in s (default 3); a transfer's start "
                 "waits 10 times as long")
      ->check(finiteRange(0.1, 3600.0));
}

PortChoice portChoice(const PortOptions& opts) {
  if (!opts.force) {
    if (std::string why = baudRefusal(opts.baud); !why.empty()) throw CliError{why, 2};
  }
  return {opts.port, opts.baud};
}

std::chrono::milliseconds timeoutOf(const PortOptions& opts) {
  return std::chrono::milliseconds(std::llround(opts.timeoutSeconds * 1000));
}

StopSignals transferSignals() { return StopSignals(StopSignals::Restart::No); }

void throwIfFailed(const TransferResult& r, const StopSignals& signals) {
  switch (r.failure) {
    case TransferFailure::None: return;
    case TransferFailure::Cancelled: {
      const int signal = signals.first();
      throw CliError{r.message, 128 + (signal > 0 ? signal : SIGINT)};
    }
    case TransferFailure::PortOpen:
      if (r.openError.kind == PortOpenFailure::NotFound) throw CliError{r.message + "; `vennikplus-cli ports` lists the ports"};
      break;
    case TransferFailure::Board:
      if (r.noEcho) throw CliError{r.message + "; --no-echo for a board that does not echo"};
      break;
    case TransferFailure::Refused: break;
  }
  throw CliError{r.message};
}

std::string secondsText(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f s", seconds);
  return buf;
}

}  // namespace vennik::cli
