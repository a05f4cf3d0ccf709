#include "cli/cli_send.h"

#include <filesystem>
#include <iostream>
#include <memory>

#include "base/source_encoding.h"
#include "cli/cli_board_options.h"
#include "cli/cli_copy_bytes.h"
#include "cli/cli_flatten.h"
#include "cli/cli_progress.h"
#include "transform/crunch.h"

namespace vennik::cli {

namespace {

struct SendOptions {
  CommonOptions common;
  PortOptions port;
  int mode = 2;
  bool noEcho = false;
  int lineDelayMs = 30;
  bool xmodem = false;
  std::optional<std::string> as;
  bool memory = false;
  bool longBlocks = false;
  bool noFlatten = false;
  bool allowOutside = false;
};

// The program as the board is to get it: the file's bytes, with the files
// its #INCLUDE lines name in their place, as the board cannot read the
// computer's files.
BigArray<char> programBytes(const SendOptions& o) {
  BigArray<char> bytes = readSourceBytes(o.common.file);
  if (o.noFlatten) return bytes;
  return flattenedProgram(o.common.file, std::move(bytes),
                          o.allowOutside ? OutsideFiles::Warn : OutsideFiles::Refuse);
}

std::string_view view(const BigArray<char>& bytes) { return {bytes.data(), bytes.size()}; }

void sendTyped(const SendOptions& o, BigArray<char> program) {
  // The envelope first: a file that cannot be sent leaves the board alone.
  const std::string envelope = copyBytes(o.common, o.mode, sourceBytesToUtf8(std::move(program)));
  if (std::string problem = droppedByteProblem(envelope); !problem.empty()) {
    throw CliError{problem + "; --xmodem sends the file as it is to a board with files"};
  }
  SendPacing pacing;
  pacing.waitForEcho = !o.noEcho;
  pacing.lineDelay = std::chrono::milliseconds(o.lineDelayMs);
  pacing.timeout = timeoutOf(o.port);
  const PortChoice port = portChoice(o.port);

  const StopSignals signals = transferSignals();
  TransferResult r;
  {
    TerminalProgress progress;
    r = sendByTyping(port, envelope, pacing, {signals.wake(), progress.sink()});
  }
  throwIfFailed(r, signals);
  std::cout << "Sent " << r.units << " lines, " << r.bytes << " bytes in " << secondsText(r.elapsed.count()) << '\n';
}

void sendXmodem(const SendOptions& o, BigArray<char> program) {
  XmodemSendRequest request;
  request.program = view(program);
  if (!o.memory) {
    if (!o.as && o.common.file == "-") throw CliError{"name the file on the board with --as (or --memory)", 2};
    if (!o.as) {
      // The path is UTF-8 on every system; Windows' paths take "\\" too.
      const std::u8string file(o.common.file.begin(), o.common.file.end());
      const std::u8string name = std::filesystem::path(file).filename().u8string();
      request.name = std::string(name.begin(), name.end());
    } else {
      request.name = *o.as;
    }
  }
  request.longBlocks = o.longBlocks;
  request.console.timeout = request.xmodem.timeout = timeoutOf(o.port);
  const PortChoice port = portChoice(o.port);

  const StopSignals signals = transferSignals();
  TransferResult r;
  {
    TerminalProgress progress;
    r = sendByXmodem(port, request, {signals.wake(), progress.sink()});
  }
  throwIfFailed(r, signals);
  std::cout << "Sent " << r.units << " blocks, " << r.bytes << " bytes in " << secondsText(r.elapsed.count())
            << " by XMODEM to " << (request.name ? "\"" + *request.name + "\"" : std::string("program memory"))
            << (r.shortBlocks ? " (the board refused 1K blocks: 128-byte blocks went instead)" : "") << '\n';
}

}  // namespace

void addSendCommand(CLI::App& app) {
  auto opts = std::make_shared<SendOptions>();
  CLI::App* cmd = app.add_subcommand(
      "send",
      "Send a program to a board over its serial port: typed into AUTOSAVE in a copy mode's envelope, or by XMODEM");
  addPortOptions(*cmd, opts->port);
  CLI::Option* mode = cmd->add_option("--mode", opts->mode, "Copy mode 2 to 7, as for `copy` (default 2)")
      ->check(CLI::Validator(
          [](std::string& in) -> std::string {
            if (in == "1") return "mode 1 copies the report, not a program; a board takes modes 2 to 7";
            return {};
          },
          "", "NOT_REPORT"))
      ->check(CLI::Range(2, 7));
  CLI::Option* noEcho =
      cmd->add_flag("--no-echo", opts->noEcho, "Do not wait for the board's echo; pause --line-delay after each line");
  CLI::Option* delay =
      cmd->add_option("--line-delay", opts->lineDelayMs, "Pause after each line with --no-echo, in ms (default 30)")
          ->check(CLI::Range(0, 60'000));
  CLI::Option* xmodem = cmd->add_flag(
      "--xmodem", opts->xmodem, "Send the program by XMODEM, to a board with files (or --memory)");
  CLI::Option* as = cmd->add_option("--as", opts->as, "With --xmodem: the file's name on the board (default: FILE's name)");
  CLI::Option* memory =
      cmd->add_flag("--memory", opts->memory, "With --xmodem: into program memory, for a board without files");
  CLI::Option* longBlocks = cmd->add_flag("--1k", opts->longBlocks, "With --xmodem: 1K blocks");
  cmd->add_flag("--no-flatten", opts->noFlatten,
                "Send the file as it is, its #INCLUDE lines too (default: each replaced by the file it names)");
  cmd->add_flag("--allow-outside", opts->allowOutside,
                "Send files included from outside the program's folder (absolute, or .. above it) too");
  xmodem->excludes(mode)->excludes(noEcho)->excludes(delay);
  as->needs(xmodem)->excludes(memory);
  memory->needs(xmodem);
  longBlocks->needs(xmodem);
  addCommonOptions(*cmd, opts->common, false);

  cmd->callback([opts] {
    BigArray<char> program = programBytes(*opts);
    // An empty program saved over the board's own would leave it nothing.
    if (!holdsStatement(view(program))) {
      throw CliError{"the program holds no statement (only blank lines and comments); nothing was sent"};
    }
    if (opts->xmodem) {
      sendXmodem(*opts, std::move(program));
    } else {
      sendTyped(*opts, std::move(program));
    }
  });
}

}  // namespace vennik::cli
