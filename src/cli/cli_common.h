#pragma once
// What every subcommand of the command-line tool shares: the options that
// stand for the desktop program's settings, reading the source, and output.
#include <exception>
#include <iosfwd>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/keyword_table.h"
#include "base/big_array.h"
#include "settings/keywords/keyword_lists.h"
#include "system/os/platform_services.h"
#include "settings/options/analysis_options.h"
#include "settings/store/settings.h"

namespace vennik::cli {

// A failure the user caused, or a run the user stopped: the message goes to
// standard error and the program ends with the exit code (1 unless given).
struct CliError : std::exception {
  explicit CliError(std::string text, int code = 1) : message(std::move(text)), exitCode(code) {}
  const char* what() const noexcept override { return message.c_str(); }
  std::string message;
  int exitCode;
};

struct CommonOptions {
  SettingsOverrides overrides;  // --factor, --library, --keywords
  std::optional<std::string> name;
  std::optional<std::string> settings;  // settings file to read instead
  std::optional<std::string> reading;   // --reading: firmware or literal
  std::string file;
};

// Adds --factor, --library, --keywords and --settings.
void addSettingsOptions(CLI::App& cmd, CommonOptions& opts);
// Adds --reading firmware|literal.
void addReadingOption(CLI::App& cmd, CommonOptions& opts, std::string_view fallback);
// Adds those, --name and the FILE argument.
void addCommonOptions(CLI::App& cmd, CommonOptions& opts, bool withName);

// What a subcommand runs with: the settings as the desktop program would
// hold them after reading its file (--settings, else the one the desktop
// program installed beside this tool would use), with --factor, --library
// and --keywords in their place when given; and this tool's folder, where
// the shipped keyword lists are looked for.
struct RunSettings {
  Settings settings;
  Text programFolder;
  std::optional<Reading> reading;  // --reading, when given
};
// Throws CliError when a file named by --settings cannot be read or is not a
// regular file (a FIFO there is refused unopened); a settings file too large
// to be one is passed over with a note on standard error.
RunSettings runSettings(const CommonOptions& opts);
RunSettings runSettings(const CommonOptions& opts, PlatformServices& platform);

// The keyword list the settings name, found from the tool's folder.
// Throws CliError naming the file, and the line at fault, when it cannot be
// read or is not a keyword list.
KeywordsInUse loadKeywords(const RunSettings& run);

// The settings file of a desktop program in this tool's folder, decided by
// the same marker files; the folder is never created from here.
Text desktopSettingsPath(PlatformServices& platform);

// Reads FILE ("-" is the descriptor `stdinFd`, standard input) as the desktop
// program loads a source, up to kMaxSourceBytes, as UTF-8. Throws CliError
// naming the file and the reason when it cannot be read.
BigArray<char> readSource(const std::string& file, int stdinFd = 0);
// The same without the conversion: the file's bytes as they are, but for a
// UTF-8 byte-order mark.
BigArray<char> readSourceBytes(const std::string& file, int stdinFd = 0);

}  // namespace vennik::cli
