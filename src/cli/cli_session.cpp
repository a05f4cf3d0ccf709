#include "cli/cli_session.h"

#include <iostream>

#include "desktop/window/window_analysis.h"
#include "base/windows1252_encoding.h"

namespace vennik::cli {

Analysis analyseFile(const CommonOptions& opts) { return analyseSource(opts, readSource(opts.file)); }

Analysis analyseSource(const CommonOptions& opts, BigArray<char> source) {
  ShellState shell;
  applyCommonOptions(opts, shell);
  shell.currentFileName = fromUtf8(opts.name.value_or(opts.file));
  const KeywordsInUse keywords = loadKeywords(shell);
  return analyse(std::move(source), analysisOptions(shell), *keywords.table, steadyMillisecondClock());
}

CheckedAnalysis analyseFileChecked(const CommonOptions& opts) {
  BigArray<char> source = readSource(opts.file);
  ShellState shell;
  applyCommonOptions(opts, shell);
  shell.currentFileName = fromUtf8(opts.name.value_or(opts.file));
  KeywordsInUse keywords = loadKeywords(shell);
  Analysis analysis = analyse(std::move(source), analysisOptions(shell), *keywords.table, steadyMillisecondClock());
  FirmwareLists firmware = firmwareLists(keywords, [folders = keywordFolders(shell.programFolder)](const std::string& c) {
    return chooseKeywords(c, folders);
  });
  return {std::move(analysis), std::move(keywords), std::move(firmware)};
}

void writeWindows1252(std::ostream& out, std::string_view utf8, std::string_view what) {
  UnencodableCharacter bad{};
  auto bytes = encodeWindows1252(fromUtf8(utf8), &bad);
  if (!bytes) {
    throw CliError{"cannot write " + std::string(what) + " in Windows-1252: " + describe(bad)};
  }
  out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
}

}  // namespace vennik::cli
