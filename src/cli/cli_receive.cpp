#include "cli/cli_receive.h"

#include <iostream>
#include <memory>

#include "cli/cli_board_options.h"
#include "board/transfer/board_names.h"
#include "cli/cli_common.h"
#include "cli/cli_progress.h"
#include "system/files/safe_file_write.h"

namespace vennik::cli {

namespace {

struct ReceiveOptions {
  PortOptions port;
  std::string name;
  std::optional<std::string> out;
};

// The board's name without its drive and folders: "B:/games/x.bas" is x.bas.
std::string filePart(const std::string& name) {
  const size_t cut = name.find_last_of("/\\:");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

}  // namespace

void addReceiveCommand(CLI::App& app) {
  auto opts = std::make_shared<ReceiveOptions>();
  CLI::App* cmd =
      app.add_subcommand("receive", "Fetch a file by XMODEM from a board with files: " + boardNamesWithFiles());
  addPortOptions(*cmd, opts->port);
  cmd->add_option("NAME", opts->name, "The file on the board, e.g. B:/prog.bas")->required();
  cmd->add_option("OUT", opts->out, "Where to write it, - for standard output (default: NAME's file part here)");

  cmd->callback([opts] {
    const std::string out = opts->out.value_or(filePart(opts->name));
    if (out.empty()) throw CliError{"name the file to write as OUT", 2};
    XmodemReceiveRequest request;
    request.name = opts->name;
    request.console.timeout = request.xmodem.timeout = timeoutOf(opts->port);
    const PortChoice port = portChoice(opts->port);

    const SelfPipeSignals signals = transferSignals();
    std::string data;
    TransferResult r;
    {
      TerminalProgress progress;
      r = receiveByXmodem(port, request, {signals.fd(), progress.sink()}, data);
    }
    throwIfFailed(r, signals);
    if (out == "-") {
      std::cout.write(data.data(), static_cast<std::streamsize>(data.size()));
    } else if (!writeFileSafely(out, data)) {
      throw CliError{"cannot write '" + out + "'"};
    }
    std::cerr << "Received \"" << opts->name << "\": " << r.units << " blocks, " << data.size() << " bytes in "
              << secondsText(r.elapsed.count()) << '\n';
  });
}

}  // namespace vennik::cli
