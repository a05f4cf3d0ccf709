#include "cli/cli_session.h"

#include <iostream>

#include "base/windows1252_encoding.h"

namespace vennik::cli {

Analysis analyseFile(const CommonOptions& opts) { return analyseSource(opts, readSource(opts.file)); }

Analysis analyseSource(const CommonOptions& opts, BigArray<char> source) {
  const RunSettings run = runSettings(opts);
  const KeywordsInUse keywords = loadKeywords(run);
  return analyse(std::move(source), analysisOptions(run.settings, opts.name.value_or(opts.file)), *keywords.table,
                 steadyMillisecondClock());
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
