#include "cli/cli_session.h"

#include <iostream>

#include "base/windows1252_encoding.h"

namespace vennik::cli {

Analysis analyseFile(const CommonOptions& opts) { return analyseSource(opts, readSource(opts.file)); }

Analysis analyseSource(const CommonOptions& opts, BigArray<char> source) {
  const RunSettings run = runSettings(opts);
  const KeywordsInUse keywords = loadKeywords(run);
  return analyse(std::move(source), analysisOptions(run.settings, opts.name.value_or(opts.file), run.reading),
                 *keywords.table, steadyMillisecondClock());
}

CheckedAnalysis analyseFileChecked(const CommonOptions& opts) {
  BigArray<char> source = readSource(opts.file);
  const RunSettings run = runSettings(opts);
  KeywordsInUse keywords = loadKeywords(run);
  Analysis analysis = analyse(std::move(source), analysisOptions(run.settings, opts.name.value_or(opts.file), run.reading),
                              *keywords.table, steadyMillisecondClock());
  FirmwareLists firmware = firmwareLists(keywords, [folders = keywordFolders(run.programFolder)](const std::string& c) {
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
