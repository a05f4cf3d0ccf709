#include "cli/cli_common.h"

#include <algorithm>
#include <memory>
#include <iostream>

#include "base/message_value.h"
#include "system/files/source_file.h"
#include "base/source_encoding.h"
#include "system/folders/folder_id_pattern.h"
#include "system/os/native_platform.h"
#include "settings/store/settings_file.h"
#include "settings/store/settings_folder.h"

namespace vennik::cli {

void addSettingsOptions(CLI::App& cmd, CommonOptions& opts) {
  cmd.add_option("--factor", opts.overrides.variableFactor,
                 "Variable factor: rows of the name table per source line (default 0.5)");
  cmd.add_option("--library", opts.overrides.library, "Library names, separated by blanks");
  cmd.add_option("--keywords", opts.overrides.keywords,
                 "Keyword list: micromite (built in, the default), picomite, cmm2, mmb4l, mmb4w, or the path of a "
                 "list in the same layout")
      ->type_name("NAME|FILE");
  cmd.add_option("--settings", opts.settings,
                 "Settings file for the variable factor, Library and keyword list (default: the desktop program's "
                 "VennikPlus.inf)");
}

void addReadingOption(CLI::App& cmd, CommonOptions& opts, std::string_view fallback) {
  cmd.add_option("--reading", opts.reading,
                 "How programs are read: firmware (as the board's tokeniser reads them) or literal (as the "
                 "built-in list's reports always have); default: " + std::string(fallback))
      ->check(CLI::IsMember({"firmware", "literal"}))
      ->type_name("firmware|literal");
}

void addCommonOptions(CLI::App& cmd, CommonOptions& opts, bool withName) {
  addSettingsOptions(cmd, opts);
  if (withName) {
    cmd.add_option("--name", opts.name, "Current file name shown in the report (default: FILE as given)");
  }
  cmd.add_option("FILE", opts.file, "BASIC source file, or - for standard input")->required();
}

Text desktopSettingsPath(PlatformServices& platform) {
  const FolderIdPattern pattern;
  return settingsFilePath(decideSettingsFolder(platform, pattern, platform.programFolder(), CreateMissing::No));
}

RunSettings runSettings(const CommonOptions& opts, PlatformServices& platform) {
  Settings stored;
  ReadFailure failure;
  std::string settingsPath;
  if (opts.settings) {
    settingsPath = *opts.settings;
    // Never opened unless it is a regular file: a FIFO would block the tool.
    auto bytes = readRegularFileLimited(settingsPath, kMaxSettingsBytes, &failure);
    if (bytes) {
      stored = readSettingsFromBytes(*bytes);
    } else if (!failure.tooLarge) {
      throw CliError{"cannot read settings '" + messageValue(settingsPath) + "': " + failure.reason};
    }
  } else {
    // Like the desktop program, a missing file gives the defaults.
    const Text path = desktopSettingsPath(platform);
    settingsPath = toFileSystemPath(path);
    stored = readSettings(path, &failure);
  }
  if (failure.tooLarge) {
    std::cerr << "vennikplus-cli: settings '" << messageValue(settingsPath) << "' not read (" << failure.reason
              << "); using the defaults\n";
  }
  std::optional<Reading> reading;
  if (opts.reading) reading = *opts.reading == "firmware" ? Reading::Firmware : Reading::Literal;
  return {withOverrides(std::move(stored), opts.overrides), platform.programFolder(), reading};
}

KeywordsInUse loadKeywords(const RunSettings& run) {
  auto chosen = chooseKeywords(toUtf8(run.settings.keywords), keywordFolders(run.programFolder));
  if (auto* message = std::get_if<std::string>(&chosen)) throw CliError{*message};
  return std::get<KeywordsInUse>(std::move(chosen));
}

RunSettings runSettings(const CommonOptions& opts) {
  const std::unique_ptr<PlatformServices> platform = makeNativePlatform();
  return runSettings(opts, *platform);
}

BigArray<char> readSource(const std::string& file, int stdinFd) {
  return sourceBytesToUtf8(readSourceBytes(file, stdinFd));
}

BigArray<char> readSourceBytes(const std::string& file, int stdinFd) {
  ReadFailure failure;
  BigArray<char> bytes;
  if (file == "-") {
    if (!readDescriptorInto(stdinFd, kMaxSourceBytes, bytes, &failure))
      throw CliError{"cannot read standard input: " + failure.reason};
  } else if (!readFileInto(file, kMaxSourceBytes, bytes, &failure)) {
    throw CliError{"cannot read '" + messageValue(file) + "': " + failure.reason};
  }
  dropUtf8Mark(bytes);
  return bytes;
}

}  // namespace vennik::cli
