#include "cli/cli_receive.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <memory>

#include "board/transfer/board_names.h"
#include "board/typed/echo_lines.h"
#include "cli/cli_board_options.h"
#include "cli/cli_common.h"
#include "cli/cli_progress.h"
#include "system/files/received_file.h"

namespace vennik::cli {

namespace {

struct ReceiveOptions {
  PortOptions port;
  std::string name;
  std::optional<std::string> out;
  uint64_t maxSize = uint64_t{256} << 20;  // as for sources
};

// The board's name without its drive and folders: "B:/games/x.bas" is x.bas.
std::string filePart(const std::string& name) {
  const size_t cut = name.find_last_of("/\\:");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

// A path as a message quotes it: control characters shown, cut to 200.
std::string shown(const std::string& path) {
  constexpr size_t kLongest = 200;
  std::string text = showLine(path.substr(0, kLongest));
  if (text.ends_with("...")) text.resize(text.size() - 3);
  return "'" + text + (path.size() > kLongest ? "...'" : "'");
}

// Where the file goes: OUT, else NAME's file part here ("-" from NAME is a
// file of that name, never standard output).
std::string outPath(const ReceiveOptions& o) {
  const std::string part = filePart(o.name);
  if (part.empty() || part == "." || part == "..")
    throw CliError{"NAME " + shown(o.name) + " names no file; name a file on the board, e.g. B:/prog.bas", 2};
  if (o.out) {
    if (o.out->empty()) throw CliError{"OUT is empty: name the file to write, or - for standard output", 2};
    return *o.out;
  }
  return part == "-" ? "./-" : part;
}

}  // namespace

void addReceiveCommand(CLI::App& app) {
  auto opts = std::make_shared<ReceiveOptions>();
  CLI::App* cmd =
      app.add_subcommand("receive", "Fetch a file by XMODEM from a board with files: " + boardNamesWithFiles());
  addPortOptions(*cmd, opts->port, "; write OUT when it is read-only, a FIFO or a device");
  cmd->add_option("NAME", opts->name, "The file on the board, e.g. B:/prog.bas")->required();
  cmd->add_option("OUT", opts->out, "Where to write it, - for standard output (default: NAME's file part here)");
  cmd->add_option("--max-size", opts->maxSize,
                  "Cancel a file larger than this, in bytes; KiB, MiB and GiB taken (default 256 MiB)")
      ->transform(CLI::AsSizeValue(false))
      ->check(CLI::Range(uint64_t{1}, uint64_t{1} << 40));

  cmd->callback([opts] {
    // Everything about NAME and OUT is checked before the port is opened:
    // a file that came must not be lost for its name.
    const std::string out = outPath(*opts);
    XmodemReceiveRequest request;
    request.name = opts->name;
    request.console.timeout = request.xmodem.timeout = timeoutOf(opts->port);
    request.xmodem.maxBytes = static_cast<size_t>(opts->maxSize);
    ReceivedWrite how = ReceivedWrite::Replace;
    if (std::string problem; out != "-" && !planReceivedWrite(out, opts->port.force, how, problem)) {
      throw CliError{"cannot write " + shown(out) + ": " + problem};
    }
    const PortChoice port = portChoice(opts->port);

    const StopSignals signals = transferSignals();
    std::string data;
    TransferResult r;
    {
      TerminalProgress progress;
      r = receiveByXmodem(port, request, {signals.wake(), progress.sink()}, data);
    }
    if (r.tooLarge) throw CliError{r.message + " (--max-size)"};
    throwIfFailed(r, signals);
    if (out == "-") {
      errno = 0;
      std::cout.write(data.data(), static_cast<std::streamsize>(data.size()));
      std::cout.flush();
      if (!std::cout) {
        throw CliError{std::string("cannot write to standard output") + (errno ? ": " + std::string(std::strerror(errno)) : "")};
      }
    } else if (std::string error; !writeReceived(out, data, how, error)) {
      throw CliError{"cannot write " + shown(out) + ": " + error};
    }
    std::cerr << "Received \"" << showLine(opts->name) << "\": " << r.units << " blocks, " << data.size()
              << " bytes in " << secondsText(r.elapsed.count()) << '\n';
  });
}

}  // namespace vennik::cli
