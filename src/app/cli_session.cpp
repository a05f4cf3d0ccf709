#include "cli_session.h"

#include <iostream>

#include "analysis/analysis_pass.h"
#include "transform/windows1252_encoding.h"

namespace vennik::cli {

void startWithFile(const CommonOptions& opts, Session& s) {
  applyCommonOptions(opts, s.shell);
  s.shell.currentFileName = fromUtf8(opts.name.value_or(opts.file));
  s.shell.sourceText = readSource(opts.file);
  s.shell.textWindow.clear();
  s.shell.textWindow.append(s.shell.currentFileName);
  const KeywordTable keywords = buildKeywordTable();
  runAnalysis(s.shell, s.analysis, keywords, steadyMillisecondClock());
}

void writeWindows1252(std::ostream& out, TextView text, std::string_view what) {
  UnencodableCharacter bad{};
  auto bytes = encodeWindows1252(text, &bad);
  if (!bytes) {
    throw CliError{"cannot write " + std::string(what) + " in Windows-1252: " + describe(bad)};
  }
  out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
}

}  // namespace vennik::cli
