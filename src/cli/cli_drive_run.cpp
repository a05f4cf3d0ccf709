#include "cli/cli_drive_run.h"

#include <filesystem>

#include "cli/cli_board_options.h"

namespace vennik::cli {

namespace {

std::string nameList(const std::vector<std::string>& names, size_t from, size_t to) {
  std::string list;
  for (size_t i = from; i < to; ++i) list += (list.empty() ? "" : ", ") + names[i];
  return list;
}

}  // namespace

std::optional<std::string> relativeName(const std::string& path) {
  const std::filesystem::path normal = std::filesystem::path(path).lexically_normal();
  if (normal.empty() || normal.is_absolute()) return std::nullopt;
  for (const auto& part : normal) {
    if (part == "..") return std::nullopt;
  }
  std::string name = normal.generic_string();
  if (name == ".") return std::nullopt;
  return name;
}

std::string inFolder(const std::optional<std::string>& to, const std::string& name) {
  if (!to || to->empty()) return name;
  // "B:" alone is the drive's current folder to some firmware: its root is meant.
  return *to + (to->back() == '/' ? "" : "/") + name;
}

FileHooks DriveProgress::hooks() {
  FileHooks hooks;
  hooks.begin = [this](size_t) {
    shown_ = std::make_unique<TerminalProgress>();
    return shown_->sink();
  };
  hooks.end = [this](size_t i, const TransferResult& r) {
    // The progress line is taken away before the file's own line is printed.
    shown_.reset();
    if (r.failure != TransferFailure::None) return;
    bytes_ += r.bytes;
    went_(i, r);
  };
  return hooks;
}

void throwIfStopped(const DriveRun& run, const std::vector<std::string>& names, const char* wentVerb,
                    const StopSignals& signals) {
  if (run.result.failure == TransferFailure::None) return;
  // Refused, or the port not opened: nothing was done, as the message says.
  if (run.result.failure == TransferFailure::Refused || run.result.failure == TransferFailure::PortOpen) {
    throwIfFailed(run.result, signals);
  }
  TransferResult r = run.result;
  const std::string at = run.step.empty() ? "\"" + names[run.done] + "\" (" + std::to_string(run.done + 1) + " of " +
                                                std::to_string(names.size()) + ")"
                                          : run.step;
  std::string done = run.done == 0 ? std::string("; no file ") + wentVerb
                                   : std::string("; ") + wentVerb + ": " + nameList(names, 0, run.done);
  const size_t notFrom = run.step.empty() ? run.done + 1 : run.done;
  if (notFrom < names.size()) done += std::string("; not ") + wentVerb + ": " + nameList(names, notFrom, names.size());
  r.message = "stopped at " + at + ": " + r.message + done;
  throwIfFailed(r, signals);
}

}  // namespace vennik::cli
