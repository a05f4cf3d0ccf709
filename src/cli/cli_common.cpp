#include "cli/cli_common.h"

#include <algorithm>
#include <iostream>

#include "system/files/source_file.h"
#include "base/source_encoding.h"
#include "system/folders/folder_id_pattern.h"
#include "system/os/posix_platform.h"
#include "settings/store/settings_file.h"
#include "settings/store/settings_folder.h"

namespace vennik::cli {

void addSettingsOptions(CLI::App& cmd, CommonOptions& opts) {
  cmd.add_option("--factor", opts.factor, "Variable factor: rows of the name table per source line (default 0.5)");
  cmd.add_option("--library", opts.library, "Library names, separated by blanks");
  cmd.add_option("--keywords", opts.keywords,
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

void applyCommonOptions(const CommonOptions& opts, ShellState& shell, PlatformServices& platform) {
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
      throw CliError{"cannot read settings '" + settingsPath + "': " + failure.reason};
    }
  } else {
    // Like the desktop program, a missing file gives the defaults.
    const Text path = desktopSettingsPath(platform);
    settingsPath = toFileSystemPath(path);
    stored = readSettings(path, &failure);
  }
  if (failure.tooLarge) {
    std::cerr << "vennikplus-cli: settings '" << settingsPath << "' not read (" << failure.reason
              << "); using the defaults\n";
  }
  shell.variableFactor = opts.factor.value_or(stored.variableFactor);
  shell.libraryList = u" " + (opts.library ? fromUtf8(*opts.library) : stored.library) + u" ";
  shell.keywordList = opts.keywords ? fromUtf8(*opts.keywords) : stored.keywords;
  if (opts.reading) shell.reading = *opts.reading == "firmware" ? Reading::Firmware : Reading::Literal;
  shell.programFolder = platform.programFolder();
}

KeywordsInUse loadKeywords(const ShellState& shell) {
  auto chosen = chooseKeywords(toUtf8(shell.keywordList), keywordFolders(shell.programFolder));
  if (auto* message = std::get_if<std::string>(&chosen)) throw CliError{*message};
  return std::get<KeywordsInUse>(std::move(chosen));
}

void applyCommonOptions(const CommonOptions& opts, ShellState& shell) {
  PosixPlatform platform;
  applyCommonOptions(opts, shell, platform);
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
    throw CliError{"cannot read '" + file + "': " + failure.reason};
  }
  dropUtf8Mark(bytes);
  return bytes;
}

void writeWindowUtf8Lines(std::ostream& out, const TextWindow& window) {
  // In pieces, so a large report is never held twice more in memory.
  constexpr size_t kPiece = 1 << 16;
  TextView all = window.lines();
  for (size_t pos = 0; pos < all.size();) {
    size_t end = std::min(all.size(), pos + kPiece);
    // Never split a surrogate pair between two pieces.
    if (end < all.size() && all[end - 1] >= 0xD800 && all[end - 1] <= 0xDBFF) ++end;
    out << toUtf8(all.substr(pos, end - pos));
    pos = end;
  }
  out << '\n';
}

std::string windowAsUtf8Lines(const TextWindow& window) {
  std::string out = toUtf8(window.lines());
  out.push_back('\n');
  return out;
}

}  // namespace vennik::cli
