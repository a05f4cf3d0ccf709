#include "cli/cli_get.h"

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>

#include "base/message_value.h"
#include "board/transfer/board_names.h"
#include "cli/cli_board_options.h"
#include "cli/cli_common.h"
#include "cli/cli_drive_run.h"
#include "cli/cli_progress.h"
#include "system/files/received_file.h"

namespace vennik::cli {

namespace {

struct GetOptions {
  PortOptions port;
  std::vector<std::string> names;
  std::string to = ".";
  uint64_t maxSize = uint64_t{256} << 20;  // as for sources
};

// Where a file goes: NAME's path under DIR when NAME is relative to the
// board's current folder (as `put` names files), else NAME's file part.
std::string localPath(const GetOptions& o, const std::string& name) {
  std::optional<std::string> relative;
  if (name.find(':') == std::string::npos) relative = relativeName(name);
  if (!relative) {
    const size_t cut = name.find_last_of("/\\:");
    const std::string part = cut == std::string::npos ? name : name.substr(cut + 1);
    if (part.empty() || part == "." || part == "..") {
      throw CliError{"NAME '" + messageValue(name) + "' names no file; name a file on the board, e.g. B:/prog.bas", 2};
    }
    relative = part;
  }
  if (o.to == ".") return *relative;
  return (std::filesystem::path(o.to) / *relative).string();
}

struct Target {
  std::string path;
  ReceivedWrite how = ReceivedWrite::Replace;
};

}  // namespace

void addGetCommand(CLI::App& app) {
  auto opts = std::make_shared<GetOptions>();
  CLI::App* cmd = app.add_subcommand(
      "get", "Fetch files from a board's drive by XMODEM: " + boardNamesWithFiles());
  addPortOptions(*cmd, opts->port, "; write a file that is read-only, a FIFO or a device");
  cmd->add_option("NAME", opts->names,
                  "Files on the board; one named from the board's current folder (inc/lib.inc) keeps its folders "
                  "here, one named from a drive (B:/prog.bas) comes as its file part")
      ->required();
  cmd->add_option("--to", opts->to, "The folder here they go to (default: the current folder)");
  cmd->add_option("--max-size", opts->maxSize,
                  "Cancel a file larger than this, in bytes; KiB, MiB and GiB taken (default 256 MiB)")
      ->transform(CLI::AsSizeValue(false))
      ->check(CLI::Range(uint64_t{1}, uint64_t{1} << 40));

  cmd->callback([opts] {
    // Every place a file goes is checked before the port is opened: a file
    // that came must not be lost for its name.
    std::vector<Target> targets;
    std::set<std::string> seen;
    for (const std::string& name : opts->names) {
      Target t{localPath(*opts, name)};
      if (!seen.insert(t.path).second) {
        throw CliError{"two files would be written to '" + messageValue(t.path) + "'", 2};
      }
      bool folderThere = false;
      std::string problem;
      if (!planReceivedFolders(t.path, folderThere, problem) ||
          (folderThere && !planReceivedWrite(t.path, opts->port.force, t.how, problem))) {
        throw CliError{"cannot write '" + messageValue(t.path) + "': " + problem};
      }
      targets.push_back(std::move(t));
    }

    DrivePacing pacing;
    pacing.console.timeout = pacing.xmodem.timeout = timeoutOf(opts->port);
    pacing.xmodem.maxBytes = static_cast<size_t>(opts->maxSize);
    const PortChoice port = portChoice(opts->port);
    const StopSignals signals = transferSignals();
    DriveProgress progress([&](size_t i, const TransferResult& r) {
      std::cout << "Received \"" << opts->names[i] << "\" into '" << messageValue(targets[i].path) << "': " << r.units
                << " blocks, " << r.bytes << " bytes in " << secondsText(r.elapsed.count()) << std::endl;
    });
    const KeepFile keep = [&](size_t i, const std::string& data, std::string& error) {
      const Target& t = targets[i];
      if (makeReceivedFolders(t.path, error) && writeReceived(t.path, data, t.how, error)) return true;
      error = "cannot write '" + messageValue(t.path) + "': " + error;
      return false;
    };
    DriveRun run = getFiles(port, signals.wake(), opts->names, pacing, progress.hooks(), keep);
    if (run.result.tooLarge) run.result.message += " (--max-size)";
    throwIfStopped(run, opts->names, "received", signals);
    std::cout << "Received " << opts->names.size() << (opts->names.size() == 1 ? " file, " : " files, ") << progress.bytes()
              << " bytes\n";
  });
}

}  // namespace vennik::cli
