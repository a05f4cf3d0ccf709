#include "cli/cli_put.h"

#include <iostream>
#include <memory>

#include "base/message_value.h"
#include "board/transfer/board_names.h"
#include "cli/cli_board_options.h"
#include "cli/cli_common.h"
#include "cli/cli_drive_run.h"
#include "cli/cli_progress.h"
#include "system/files/source_file.h"

namespace vennik::cli {

namespace {

struct PutOptions {
  PortOptions port;
  std::vector<std::string> files;
  std::optional<std::string> to;
  bool longBlocks = false;
};

// The file's bytes exactly as they are (a byte-order mark too), so that
// `get` brings the same back; a regular file only, which cannot block.
BigArray<char> fileBytes(const std::string& file) {
  if (file == "-") throw CliError{"put sends files under their names; standard input (-) has none", 2};
  ReadFailure failure;
  BigArray<char> bytes;
  if (!readRegularFileInto(file, kMaxSourceBytes, bytes, &failure)) {
    throw CliError{"cannot read '" + messageValue(file) + "': " + failure.reason};
  }
  return bytes;
}

}  // namespace

void addPutCommand(CLI::App& app) {
  auto opts = std::make_shared<PutOptions>();
  CLI::App* cmd = app.add_subcommand(
      "put", "Send files to a board's drive by XMODEM under their own names, as they are (a program and its "
             "#INCLUDE files, for a board that reads them from its drive): " + boardNamesWithFiles());
  addPortOptions(*cmd, opts->port);
  cmd->add_option("FILE", opts->files,
                  "Files to send, each named on the board by its path from here (inc/lib.inc goes to inc/lib.inc)")
      ->required();
  cmd->add_option("--to", opts->to, "The board's folder they go to, e.g. B:/games (default: its current folder)");
  cmd->add_flag("--1k", opts->longBlocks, "1K blocks");

  cmd->callback([opts] {
    // Every name and every file is checked before the port is opened.
    std::vector<std::string> names;
    for (const std::string& file : opts->files) {
      const std::optional<std::string> name = relativeName(file);
      if (!name) {
        throw CliError{"'" + messageValue(file) +
                           "' is no path inside the current folder: put names each file on the board by its path "
                           "from here, so run it from the folder that holds the program",
                       2};
      }
      names.push_back(inFolder(opts->to, *name));
    }
    std::vector<BigArray<char>> contents;
    for (const std::string& file : opts->files) contents.push_back(fileBytes(file));
    std::vector<BoardFile> files;
    for (size_t i = 0; i < names.size(); ++i) files.push_back({names[i], {contents[i].data(), contents[i].size()}});

    DrivePacing pacing;
    pacing.console.timeout = pacing.xmodem.timeout = timeoutOf(opts->port);
    pacing.longBlocks = opts->longBlocks;
    const PortChoice port = portChoice(opts->port);
    const StopSignals signals = transferSignals();
    DriveProgress progress([&](size_t i, const TransferResult& r) {
      std::cout << "Sent \"" << names[i] << "\": " << r.units << " blocks, " << r.bytes << " bytes in "
                << secondsText(r.elapsed.count())
                << (r.shortBlocks ? " (the board refused 1K blocks: 128-byte blocks went instead)" : "") << std::endl;
    });
    const DriveRun run = putFiles(port, signals.wake(), files, pacing, progress.hooks());
    throwIfStopped(run, names, "sent", signals);
    std::cout << "Sent " << names.size() << (names.size() == 1 ? " file, " : " files, ") << progress.bytes()
              << " bytes by XMODEM\n";
  });
}

}  // namespace vennik::cli
