#include "cli/cli_send.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "base/source_encoding.h"
#include "cli/cli_copy_bytes.h"
#include "cli/cli_flatten.h"
#include "cli/cli_progress.h"
#include "cli/cli_session.h"
#include "settings/sent/sent_line_maps.h"
#include "system/files/source_file.h"
#include "system/os/native_platform.h"
#include "transform/copy_modes.h"
#include "transform/crunch.h"
#include "transform/sent_lines.h"

namespace vennik::cli {

namespace {

// The program as the board is to get it: the file's bytes, with the files
// its #INCLUDE lines name in their place, as the board cannot read the
// computer's files; and where each of its lines came from.
AssembledProgram programOf(const SendOptions& o) {
  BigArray<char> bytes = readSourceBytes(o.common.file);
  if (o.noFlatten) return unassembledProgram(o.common.file, std::move(bytes));
  return assembledProgram(o.common.file, std::move(bytes),
                          o.allowOutside ? OutsideFiles::Warn : OutsideFiles::Refuse);
}

BigArray<char> bytesOf(std::string_view text) {
  BigArray<char> bytes;
  bytes.resizeForOverwrite(text.size());
  if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size());
  return bytes;
}

bool crunched(int mode) {
  const CopyModeInfo* info = copyModeInfo(mode);
  return info && info->body == CopyBody::Crunched;
}

// Where the board's lines come from once the bytes of `analysis` are sent.
BoardLineMap typedMap(const SendOptions& o, const AssembledProgram& program, const Analysis& analysis) {
  return crunched(o.mode) ? linesSentCrunched(program, analysis) : linesSentAsIs(program, SentInto::Memory);
}

BoardLineMap xmodemMap(const SendOptions& o, const AssembledProgram& program) {
  return linesSentAsIs(program, o.memory ? SentInto::Memory : SentInto::File);
}

std::string boardFileName(const SendOptions& o) {
  if (!o.as && o.common.file == "-") throw CliError{"name the file on the board with --as (or --memory)", 2};
  if (o.as) return *o.as;
  // The path is UTF-8 on every system; Windows' paths take "\\" too.
  const std::u8string file(o.common.file.begin(), o.common.file.end());
  const std::u8string name = std::filesystem::path(file).filename().u8string();
  return std::string(name.begin(), name.end());
}

SentProgram sendTyped(const SendOptions& o, const AssembledProgram& program) {
  SentProgram sent;
  // The envelope first: a file that cannot be sent leaves the board alone.
  const std::string envelope = copyBytes(o.common, o.mode, sourceBytesToUtf8(bytesOf(program.text)),
                                         [&](const Analysis& analysis) { sent.map = typedMap(o, program, analysis); });
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
  sent.summary = "Sent " + std::to_string(r.units) + " lines, " + std::to_string(r.bytes) + " bytes in " +
                 secondsText(r.elapsed.count());
  return sent;
}

SentProgram sendXmodem(const SendOptions& o, const AssembledProgram& program) {
  SentProgram sent;
  XmodemSendRequest request;
  request.program = program.text;
  if (!o.memory) request.name = boardFileName(o);
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
  sent.map = xmodemMap(o, program);
  sent.boardFile = request.name;
  sent.summary = "Sent " + std::to_string(r.units) + " blocks, " + std::to_string(r.bytes) + " bytes in " +
                 secondsText(r.elapsed.count()) + " by XMODEM to " +
                 (request.name ? "\"" + *request.name + "\"" : std::string("program memory")) +
                 (r.shortBlocks ? " (the board refused 1K blocks: 128-byte blocks went instead)" : "");
  return sent;
}

// The map with every path absolute, as a terminal opened elsewhere needs it.
BoardLineMap withAbsolutePaths(BoardLineMap map) {
  for (std::string& file : map.files) {
    std::error_code ec;
    if (file == "-") continue;
    const std::filesystem::path absolute = std::filesystem::absolute(file, ec);
    if (!ec) file = absolute.lexically_normal().string();
  }
  return map;
}

void keepMap(const SendOptions& o, const BoardLineMap& map) {
  std::string error;
  if (!keepSentMap(keptMapsFolder(o.common), portKey(o.port.port), withAbsolutePaths(map), &error)) {
    std::cerr << "vennikplus-cli: the line map of this send was not kept (" << error
              << "); `term --program FILE` leads the board's errors to the files all the same\n";
  }
}

}  // namespace

std::string portKey(const std::string& port) { return sentMapPortKey(port); }

std::string keptMapsFolder(const CommonOptions& opts) {
  if (opts.settings) return sentMapsFolder(*opts.settings);
  const std::unique_ptr<PlatformServices> platform = makeNativePlatform();
  return sentMapsFolder(toFileSystemPath(desktopSettingsPath(*platform)));
}

BoardLineMap mapOfSend(const SendOptions& opts) {
  const AssembledProgram program = programOf(opts);
  if (opts.xmodem) return xmodemMap(opts, program);
  if (!crunched(opts.mode)) return linesSentAsIs(program, SentInto::Memory);
  return linesSentCrunched(program, analyseSource(opts.common, sourceBytesToUtf8(bytesOf(program.text))));
}

SentProgram sendToBoard(const SendOptions& opts) {
  const AssembledProgram program = programOf(opts);
  // An empty program saved over the board's own would leave it nothing.
  if (!holdsStatement(program.text)) {
    throw CliError{"the program holds no statement (only blank lines and comments); nothing was sent"};
  }
  SentProgram sent = opts.xmodem ? sendXmodem(opts, program) : sendTyped(opts, program);
  keepMap(opts, sent.map);
  return sent;
}

void addShapeOptions(CLI::App& cmd, SendOptions& opts) {
  CLI::Option* mode = cmd.add_option("--mode", opts.mode, "Copy mode 2 to 7, as for `copy` (default 2)")
      ->check(CLI::Validator(
          [](std::string& in) -> std::string {
            if (in == "1") return "mode 1 copies the report, not a program; a board takes modes 2 to 7";
            return {};
          },
          "", "NOT_REPORT"))
      ->check(CLI::Range(2, 7));
  CLI::Option* xmodem = cmd.add_flag(
      "--xmodem", opts.xmodem, "Send the program by XMODEM, to a board with files (or --memory)");
  CLI::Option* memory =
      cmd.add_flag("--memory", opts.memory, "With --xmodem: into program memory, for a board without files");
  cmd.add_flag("--no-flatten", opts.noFlatten,
               "Send the file as it is, its #INCLUDE lines too (default: each replaced by the file it names)");
  cmd.add_flag("--allow-outside", opts.allowOutside,
               "Send files included from outside the program's folder (absolute, or .. above it) too");
  xmodem->excludes(mode);
  memory->needs(xmodem);
}

void addSendOptions(CLI::App& cmd, SendOptions& opts) {
  addPortOptions(cmd, opts.port);
  addShapeOptions(cmd, opts);
  CLI::Option* xmodem = cmd.get_option("--xmodem");
  CLI::Option* memory = cmd.get_option("--memory");
  CLI::Option* noEcho =
      cmd.add_flag("--no-echo", opts.noEcho, "Do not wait for the board's echo; pause --line-delay after each line");
  CLI::Option* delay =
      cmd.add_option("--line-delay", opts.lineDelayMs, "Pause after each line with --no-echo, in ms (default 30)")
          ->check(CLI::Range(0, 60'000));
  CLI::Option* as = cmd.add_option("--as", opts.as, "With --xmodem: the file's name on the board (default: FILE's name)");
  CLI::Option* longBlocks = cmd.add_flag("--1k", opts.longBlocks, "With --xmodem: 1K blocks");
  xmodem->excludes(noEcho)->excludes(delay);
  as->needs(xmodem)->excludes(memory);
  longBlocks->needs(xmodem);
  addCommonOptions(cmd, opts.common, false);
}

void addSendCommand(CLI::App& app) {
  auto opts = std::make_shared<SendOptions>();
  CLI::App* cmd = app.add_subcommand(
      "send",
      "Send a program to a board over its serial port: typed into AUTOSAVE in a copy mode's envelope, or by XMODEM");
  addSendOptions(*cmd, *opts);
  cmd->callback([opts] { std::cout << sendToBoard(*opts).summary << '\n'; });
}

}  // namespace vennik::cli
