#include "cli/cli_files.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "board/drive/drive_transfers.h"
#include "board/transfer/board_names.h"
#include "cli/cli_board_options.h"

namespace vennik::cli {

namespace {

struct FilesOptions {
  PortOptions port;
  std::optional<std::string> pattern;
  bool json = false;
};

std::string timeText(const DriveTime& t, const char* format) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, t.year, t.month, t.day, t.hour, t.minute);
  return buf;
}

nlohmann::json listingJson(const FileListing& listing) {
  nlohmann::json entries = nlohmann::json::array();
  for (const DriveEntry& e : listing.entries) {
    nlohmann::json j{{"name", e.name}, {"folder", e.folder}};
    j["size"] = e.size ? nlohmann::json(*e.size) : nlohmann::json(nullptr);
    j["modified"] = e.modified ? nlohmann::json(timeText(*e.modified, "%04d-%02d-%02dT%02d:%02d")) : nlohmann::json(nullptr);
    entries.push_back(std::move(j));
  }
  nlohmann::json j;
  j["folder"] = listing.folder.empty() ? nlohmann::json(nullptr) : nlohmann::json(listing.folder);
  j["entries"] = std::move(entries);
  j["free_bytes"] = listing.freeBytes ? nlohmann::json(*listing.freeBytes) : nlohmann::json(nullptr);
  j["other_lines"] = listing.otherLines;
  return j;
}

std::string counted(size_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

// One line an entry: the time (where the board gives it), the size or
// <DIR>, the name.
void writeListing(const FileListing& listing) {
  if (!listing.folder.empty()) std::cout << listing.folder << '\n';
  size_t folders = 0;
  for (const DriveEntry& e : listing.entries) {
    char line[64];
    const std::string time = e.modified ? timeText(*e.modified, "%04d-%02d-%02d %02d:%02d") : std::string();
    const std::string size = e.folder ? "<DIR>" : e.size ? std::to_string(*e.size) : std::string();
    std::snprintf(line, sizeof line, "%-16s  %10s  ", time.c_str(), size.c_str());
    std::cout << line << e.name << '\n';
    folders += e.folder ? 1 : 0;
  }
  for (const std::string& other : listing.otherLines) std::cout << other << '\n';
  if (listing.entries.empty() && !listing.otherLines.empty()) return;
  std::cout << counted(folders, "folder", "folders") << ", "
            << counted(listing.entries.size() - folders, "file", "files");
  if (listing.freeBytes) std::cout << ", " << *listing.freeBytes << " bytes free";
  std::cout << '\n';
}

}  // namespace

void addFilesCommand(CLI::App& app) {
  auto opts = std::make_shared<FilesOptions>();
  CLI::App* cmd = app.add_subcommand(
      "files", "List a folder of a board's drive, as its FILES command shows it: " + boardNamesWithFiles());
  addPortOptions(*cmd, opts->port);
  cmd->add_option("PATTERN", opts->pattern,
                  "What to list, as FILES takes it: a pattern (*.bas), a folder, or both (B:/games/*.bas); default: "
                  "the board's current folder");
  cmd->add_flag("--json", opts->json, "Print the listing as JSON");
  cmd->callback([opts] {
    ConsolePacing pacing;
    pacing.timeout = timeoutOf(opts->port);
    const PortChoice port = portChoice(opts->port);
    const StopSignals signals = transferSignals();
    FileListing listing;
    const TransferResult r = listFiles(port, signals.wake(), opts->pattern, pacing, listing);
    throwIfFailed(r, signals);
    if (opts->json) {
      std::cout << listingJson(listing).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else {
      writeListing(listing);
    }
  });
}

}  // namespace vennik::cli
