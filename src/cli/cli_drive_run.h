#pragma once
// What `put` and `get` share: the board's name of a file and the file's
// name here, which mirror each other, and the end of a run of files as the
// user reads it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "board/drive/drive_transfers.h"
#include "cli/cli_progress.h"
#include "system/signals/stop_signals.h"

namespace vennik::cli {

// The path as the board is to name it: relative, '/' between folders,
// without "./"; nullopt for a path that is absolute or climbs out with "..".
std::optional<std::string> relativeName(const std::string& path);

// `name` inside the board's folder `to` (none: the current folder; "B:" is
// the drive's root).
std::string inFolder(const std::optional<std::string>& to, const std::string& name);

// A progress line on the terminal while each file goes; once one has gone,
// its bytes counted and `went` told (to print its line).
class DriveProgress {
 public:
  explicit DriveProgress(std::function<void(size_t index, const TransferResult& result)> went)
      : went_(std::move(went)) {}
  FileHooks hooks();
  size_t bytes() const { return bytes_; }

 private:
  std::function<void(size_t, const TransferResult&)> went_;
  std::unique_ptr<TerminalProgress> shown_;
  size_t bytes_ = 0;
};

// Throws CliError when the run stopped early: the step that stopped it and
// why, the files that went before and those that did not; exit 1, or 128
// plus the signal's number.
void throwIfStopped(const DriveRun& run, const std::vector<std::string>& names, const char* wentVerb,
                    const StopSignals& signals);

}  // namespace vennik::cli
