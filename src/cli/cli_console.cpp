#include "cli/cli_console.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "system/terminal/raw_keyboard.h"

namespace vennik::cli {

namespace {

// Writes all of `bytes` to standard output; false once the output is gone.
bool writeOut(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    // A signal that ends the session also ends a write held by a stopped
    // reader; the relay sees the signal next.
    return false;
  }
  return true;
}

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return text;
}

// The file a board names in "Error in FILE line N" (an included file it
// loaded itself, named as the #INCLUDE line names it): the program's file
// of that name, else the name beside the main file.
std::string namedFile(const std::string& named, const BoardLineMap& map) {
  const std::string part = lowered(std::filesystem::path(named).filename().string());
  for (const std::string& file : map.files) {
    if (lowered(std::filesystem::path(file).filename().string()) == part) return file;
  }
  const std::filesystem::path folder = std::filesystem::path(map.files.front()).parent_path();
  return (folder / named).lexically_normal().string();
}

}  // namespace

StopSignals consoleSignals() { return StopSignals(StopSignals::Restart::No, /*brokenOutput=*/true); }

std::string shownPath(const std::string& path) {
  const std::filesystem::path p(path);
  if (!p.is_absolute()) return path;
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  if (ec) return path;
  const std::filesystem::path relative = p.lexically_relative(here);
  if (relative.empty() || *relative.begin() == "..") return path;
  return relative.string();
}

std::string compilerLine(const BoardErrorReport& report, const BoardLineMap* map) {
  if (!map || map->files.empty() || !report.line || report.library) return {};
  std::string file;
  int64_t line = *report.line;
  if (!report.file.empty()) {
    file = namedFile(report.file, *map);
  } else if (std::optional<LineOrigin> origin = map->origin(line, report.count)) {
    file = map->files[static_cast<size_t>(origin->file)];
    line = origin->line;
  } else {
    return {};
  }
  return shownPath(file) + ':' + std::to_string(line) + ":1: error: " +
         (report.message.empty() ? std::string("the program stopped with an error") : report.message) + '\n';
}

ConsoleResult holdConsole(ConsoleSession& session, const ConsoleOptions& options) {
  ConsoleResult result;
  bool outputGone = false;
  BoardOutputReader output(
      [&](std::string_view bytes) { outputGone = outputGone || !writeOut(bytes); },
      [&](const BoardErrorReport& report) {
        ++result.reports;
        const std::string line = compilerLine(report, options.map);
        if (!line.empty()) {
          outputGone = outputGone || !writeOut(line);
        } else if (report.line && !report.library && options.map) {
          std::cerr << "vennikplus-cli: the board's line " << *report.line << " is no line of the program sent\n";
        }
      });
  RelayOptions relay;
  relay.endAtPrompt = options.endAtPrompt;
  relay.keyTimeout = options.keyTimeout;
  // Keys from a terminal only while this program is in its foreground (a
  // background job that read them would be stopped); from a pipe or a file
  // as they come.
  std::unique_ptr<RawKeyboard> keyboard;
  if (::isatty(STDIN_FILENO)) {
    keyboard = makeRawKeyboard(STDIN_FILENO);
    if (keyboard) relay.keyboardFd = STDIN_FILENO;
  } else {
    relay.keyboardFd = STDIN_FILENO;
  }
  if (!options.help.empty() && (keyboard || !options.helpForTerminalOnly)) std::cerr << options.help << '\n';
  result.outcome = relayConsole(*session.port, output, relay, session.after);
  // The board's prompt is the last it printed: the user's own prompt comes
  // on a line of its own.
  if (result.outcome.end == RelayEnd::Prompt && !outputGone) writeOut("\n");
  return result;
}

}  // namespace vennik::cli
