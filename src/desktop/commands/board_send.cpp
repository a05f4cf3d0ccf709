#include "desktop/commands/board_send.h"

#include <cstdio>
#include <filesystem>

#include "analysis/includes/assemble_program.h"
#include "base/source_encoding.h"
#include "base/windows1252_encoding.h"
#include "desktop/commands/window_commands.h"
#include "board/port/port_line.h"
#include "system/files/disk_include_files.h"
#include "system/files/source_file.h"
#include "desktop/window/copy_mode_captions.h"
#include "desktop/window/shell_state.h"
#include "desktop/window/ui_services.h"
#include "settings/sent/sent_line_maps.h"
#include "settings/store/settings_file.h"
#include "transform/copy_modes.h"
#include "transform/envelope_check.h"
#include "transform/sent_lines.h"

namespace vennik {

namespace {

// The usual console speeds. 1200 is left out: it restarts a Raspberry Pi
// Pico in its firmware-upload mode.
constexpr int32_t kBoardBauds[] = {9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
constexpr int32_t kDefaultBaud = 115200;

bool isBlank(TextView text) {
  for (char16_t c : text)
    if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return false;
  return true;
}

// The 1-based line of `text` that the character at `index` (0-based) is on.
size_t lineAt(TextView text, size_t index) {
  size_t line = 1;
  for (size_t i = 0; i < index && i < text.size(); ++i) {
    if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) ++line;
  }
  return line;
}

Text codePointText(char32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
  return fromUtf8(buf);
}

Text secondsText(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f s", seconds);
  return fromUtf8(buf);
}

// The files an #INCLUDE names, read from the disk and decoded as sources
// are, so that they join the program's text in one encoding.
class DecodedIncludeFiles : public IncludeFiles {
 public:
  FileRead read(const std::string& path) override {
    FileRead r = disk_.read(path);
    if (r.status == FileRead::Status::Read) r.text = sourceBytesToUtf8(std::move(r.text));
    return r;
  }
  std::vector<std::string> namesIn(const std::string& folder) override { return disk_.namesIn(folder); }

 private:
  DiskIncludeFiles disk_;
};

// The program as the board must get it: a board cannot read the computer's
// files, so each #INCLUDE line gives way to the lines of its file, found
// beside the current source. nullopt, and `problem` filled, when an included
// file is missing or unreadable, or lies outside the source's folder and
// `outside` does not allow it (then `outside.found` is set).
std::optional<Text> flattenedForBoard(const ShellState& shell, TextView program, Text& problem,
                                      OutsideIncludes& outside, AssembledProgram& assembled) {
  DecodedIncludeFiles files;
  assembled = assembleProgram(toUtf8(shell.settings.lastFile), toUtf8(program), files, {.maxBytes = kMaxSourceBytes});
  auto say = [&](const IncludeProblem& p) {
    problem = fromUtf8(assembled.files[static_cast<size_t>(p.file)].path) + u" line " + decimal(p.line) + u": " +
              fromUtf8(p.message);
  };
  for (const IncludeProblem& p : assembled.problems) {
    if (p.severity != IncludeProblem::Severity::Error) continue;
    say(p);
    return std::nullopt;
  }
  for (const IncludeProblem& p : assembled.problems) {
    if (!p.leavesFolder || outside.allowed) continue;
    say(p);
    outside.found = true;
    return std::nullopt;
  }
  if (assembled.files.size() == 1) return Text(program);  // nothing included: the text as it is
  return fromUtf8(assembled.text);
}

// Modes 2 to 7 as they stand; any other asks which board, by the captions
// of the Copy Options menu.
std::optional<int32_t> boardMode(CommandContext& ctx) {
  const int32_t mode = ctx.shell.settings.copyMode;
  if (mode >= 2 && mode <= 7) return mode;
  std::vector<Text> choices;
  for (int32_t m = 2; m <= 7; ++m) choices.emplace_back(copyModeCaption(m)->menuCaption);
  const std::optional<size_t> picked = ctx.ui.askChoice(kSendTitle, u"Which board is the program for?", choices);
  if (!picked || *picked >= choices.size()) return std::nullopt;
  return static_cast<int32_t>(*picked) + 2;
}

// The ports the system lists, the one sent to last in this run chosen at
// first, else the first known board, else the first port.
PortRequest portRequest(const ShellState& shell) {
  PortRequest request{kSendTitle, {}, {}, shell.boardPort, {}, kDefaultBaud};
  for (int32_t baud : kBoardBauds) {
    if (!serialBaudSupported(baud)) continue;
    request.bauds.push_back(baud);
    if (baud == shell.boardBaud) request.baud = baud;
  }
  std::string error;
  const std::optional<std::vector<SerialPortInfo>> ports = listSerialPorts(error);
  if (!ports) {
    request.note = u"The serial ports cannot be listed (" + fromUtf8(error) + u"); type the port's path.";
  } else if (ports->empty()) {
    request.note = u"No serial ports found; type the port's path, e.g. /dev/ttyACM0.";
  }
  Text firstBoard;
  for (const SerialPortInfo& p : ports.value_or(std::vector<SerialPortInfo>{})) {
    request.ports.push_back({fromUtf8(p.name), fromUtf8(portLine(p))});
    const std::optional<KnownUsbDevice> device = knownDeviceOf(p);
    if (firstBoard.empty() && device && device->board) firstBoard = fromUtf8(p.name);
  }
  if (request.port.empty()) request.port = firstBoard;
  if (request.port.empty() && !request.ports.empty()) request.port = request.ports.front().path;
  return request;
}

}  // namespace

std::optional<std::string> boardSendBytes(const ShellState& shell, int32_t mode, Text& problem,
                                          OutsideIncludes& outside, std::optional<BoardLineMap>* map) {
  const CopyModeInfo* info = copyModeInfo(mode);
  if (info == nullptr || info->endCharacter == 0) {
    problem = u"copy mode " + decimal(mode) + u" has no envelope for a board";
    return std::nullopt;
  }
  const bool crunched = info->body == CopyBody::Crunched;
  if (crunched && shell.textWindow.holdsReport()) {
    problem = crunchFirstText(mode);
    return std::nullopt;
  }
  const Text shown = crunched ? shell.textWindow.read() : shell.source.text();
  // An empty AUTOSAVE would replace the board's program by nothing.
  if (isBlank(shown)) {
    problem = crunched ? u"the text window is empty: there is no program to send"
                       : u"the source is empty: there is no program to send";
    return std::nullopt;
  }
  AssembledProgram assembled;
  const std::optional<Text> program = flattenedForBoard(shell, shown, problem, outside, assembled);
  if (!program) return std::nullopt;
  if (map) {
    // The source as it is, from a file: its lines are the files' lines. A
    // crunched text window may have been edited since the Crunch.
    map->reset();
    if (!crunched && std::filesystem::path(toFileSystemPath(shell.settings.lastFile)).is_absolute()) {
      *map = linesSentAsIs(assembled, SentInto::Memory);
    }
  }
  if (std::optional<Text> breaker = envelopeProblem(mode, *program)) {
    problem = std::move(*breaker);
    return std::nullopt;
  }
  const Text envelope = wrapInEnvelope(mode, *program);
  UnencodableCharacter bad{};
  std::optional<std::string> bytes = encodeWindows1252(envelope, &bad);
  if (!bytes) {
    const TextView body = TextView(envelope).substr(info->header.size());
    problem = u"line ";
    appendDecimal(problem, static_cast<int64_t>(lineAt(body, bad.position - 1 - info->header.size())));
    problem += crunched ? u" of the crunched program" : u" of the source";
    problem += u" holds the character " + codePointText(bad.codePoint) +
               u", which a board's code page (Windows-1252) has no byte for; remove it first";
    return bytes;
  }
  // Typed into AUTOSAVE, a byte from 0x80 up is lost or stops the send
  // midway: said before a port is asked for.
  if (const std::string dropped = droppedByteProblem(*bytes); !dropped.empty()) {
    problem = fromUtf8(dropped) + u"; remove it first";
    return std::nullopt;
  }
  return bytes;
}

void sendToBoardCommand(CommandContext& ctx) {
  ShellState& shell = ctx.shell;
  const std::optional<int32_t> mode = boardMode(ctx);
  if (!mode) return;
  // The bytes first: a program that cannot be sent asks for no port.
  Text problem;
  OutsideIncludes outside;
  std::optional<BoardLineMap> map;
  std::optional<std::string> bytes = boardSendBytes(shell, *mode, problem, outside, &map);
  // A file from elsewhere on the computer goes to the board only when the
  // user says so.
  if (!bytes && outside.found && ctx.ui.askYesNo(kSendTitle, problem + u".\n\nSend it to the board all the same?", false)) {
    outside.allowed = true;
    bytes = boardSendBytes(shell, *mode, problem, outside, &map);
  } else if (outside.found) {
    return;
  }
  if (!bytes) {
    ctx.ui.showMessage(kSendTitle, problem);
    return;
  }
  const std::optional<PortAnswer> answer = ctx.ui.askBoardPort(portRequest(shell));
  if (!answer || answer->port.empty()) return;
  if (const std::string refusal = baudRefusal(answer->baud); !refusal.empty()) {
    ctx.ui.showMessage(kSendTitle, fromUtf8(refusal));
    return;
  }
  shell.boardPort = answer->port;
  shell.boardBaud = answer->baud;
  BoardSendRequest request{{toUtf8(answer->port), answer->baud}, std::move(*bytes), {}, *mode, std::move(map)};
  request.pacing.timeout = std::chrono::milliseconds(shell.boardTimeoutMs);
  if (ctx.backgroundSend) {
    *ctx.backgroundSend = std::move(request);
    return;
  }
  finishBoardSend(ctx, request, runBoardSend(request, {}));
}

TransferResult runBoardSend(const BoardSendRequest& request, const TransferControl& control) {
  return sendByTyping(request.port, request.bytes, request.pacing, control);
}

Text boardSendOutcomeText(const BoardSendRequest& request, const TransferResult& result) {
  const Text port = fromUtf8(request.port.path);
  switch (result.failure) {
    case TransferFailure::None:
      return u"Sent " + decimal(static_cast<int64_t>(result.units)) + u" lines, " +
             decimal(static_cast<int64_t>(result.bytes)) + u" bytes to " + port + u" in " +
             secondsText(result.elapsed.count()) + u" (" + Text(copyModeCaption(request.mode)->menuCaption) + u").";
    case TransferFailure::Refused:
    case TransferFailure::PortOpen: return u"Nothing was sent: " + fromUtf8(result.message) + u".";
    case TransferFailure::Board:
    case TransferFailure::Cancelled: break;
  }
  // "stopped after line 3 of 40 (...): ..." reads on from the port's name.
  const Text message = fromUtf8(result.message);
  const bool saysStopped = message.rfind(u"stopped ", 0) == 0;
  return u"The send to " + port + (saysStopped ? u" " : u" stopped: ") + message + u".";
}

void finishBoardSend(CommandContext& ctx, const BoardSendRequest& request, const TransferResult& result) {
  Text text = boardSendOutcomeText(request, result);
  // Beside the settings file, where the command-line tool looks; a program
  // that has no settings folder (it keeps no settings) keeps no map either.
  if (result.failure == TransferFailure::None && !ctx.shell.settingsFolder.empty()) {
    const std::string folder = sentMapsFolder(toFileSystemPath(settingsFilePath(ctx.shell.settingsFolder)));
    const std::string port = sentMapPortKey(request.port.path);
    std::string error;
    if (!request.map) {
      forgetSentMap(folder, port);
    } else if (!keepSentMap(folder, port, *request.map, &error)) {
      text += u"\n\nThe map of its lines for `vennikplus-cli term` was not kept: " + fromUtf8(error) + u".";
    }
  }
  ctx.ui.showMessage(kSendTitle, text);
}

}  // namespace vennik
