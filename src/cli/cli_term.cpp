#include "cli/cli_term.h"

#include <csignal>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/cli_console.h"
#include "cli/cli_send.h"
#include "settings/sent/sent_line_maps.h"

namespace vennik::cli {

namespace {

struct TermOptions {
  SendOptions program;  // --program FILE and what decides its lines on the board
  std::optional<std::string> file;
};

// The program on the board: the one named, else the one last sent to the
// port (with a note when none is known, or its map cannot be read).
std::optional<BoardLineMap> programOnBoard(const TermOptions& o) {
  if (o.file) {
    if (*o.file == "-") throw CliError{"--program cannot be standard input: the keys come from there", 2};
    SendOptions shaped = o.program;
    shaped.common.file = *o.file;
    return mapOfSend(shaped);
  }
  std::string problem;
  std::optional<BoardLineMap> kept = sentMapFor(keptMapsFolder(o.program.common), portKey(o.program.port.port), &problem);
  if (!problem.empty()) std::cerr << "vennikplus-cli: the line map kept for this port is not used: " << problem << '\n';
  return kept;
}

int holdTerminal(const TermOptions& o) {
  const std::optional<BoardLineMap> map = programOnBoard(o);
  const StopSignals signals = consoleSignals();
  ConsoleSession session;
  const PortChoice port = portChoice(o.program.port);
  const TransferResult opened = openConsole(port, {}, {}, {signals.wake(), {}}, session);
  throwIfFailed(opened, signals);

  ConsoleOptions console;
  console.map = map ? &*map : nullptr;
  console.keyTimeout = timeoutOf(o.program.port);
  console.help = "Connected to " + port.path + " at " + std::to_string(port.baud) +
                 " baud: Ctrl-] leaves, every other key goes to the board, Ctrl-C too";
  console.help += map ? "; its errors are led back to " + shownPath(map->files.front()) + " and its files"
                      : "; no program is known for this port (--program FILE leads its errors back to the files)";
  const ConsoleResult result = holdConsole(session, console);
  session.port.reset();

  switch (result.outcome.end) {
    case RelayEnd::Left:
    case RelayEnd::Prompt: return 0;
    case RelayEnd::Interrupted: {
      const int signal = signals.first();
      throw CliError{{}, 128 + (signal > 0 ? signal : SIGINT)};
    }
    case RelayEnd::Lost:
      throw CliError{"lost the port '" + port.path + "': " + result.outcome.lostReason + " (board unplugged or reset?)"};
    case RelayEnd::Stalled:
      throw CliError{"the board took no key for " + secondsText(o.program.port.timeoutSeconds)};
  }
  return 1;
}

}  // namespace

void addTermCommand(CLI::App& app) {
  auto opts = std::make_shared<TermOptions>();
  CLI::App* cmd = app.add_subcommand(
      "term", "A serial terminal on a board's port: Ctrl-] leaves; the board's errors are led back to the files of "
              "the program on it");
  addPortOptions(*cmd, opts->program.port);
  CLI::Option* program = cmd->add_option(
      "--program", opts->file,
      "The program on the board, as it was sent (default: the last one sent to this port by `send` or `run`)");
  addShapeOptions(*cmd, opts->program);
  for (const char* shape : {"--mode", "--xmodem", "--memory", "--no-flatten", "--allow-outside"}) {
    cmd->get_option(shape)->needs(program);
  }
  addSettingsOptions(*cmd, opts->program.common);
  cmd->callback([opts] {
    const int code = holdTerminal(*opts);
    if (code != 0) throw CliError{{}, code};
  });
}

}  // namespace vennik::cli
