#pragma once
// The steps the report, crunch and copy subcommands share: analysing FILE as
// the desktop program would after being started with it, and writing text in
// the sources' code page.
#include <iosfwd>
#include <string_view>

#include "analysis/analysis.h"
#include "cli/cli_common.h"
#include "settings/keywords/keyword_lists.h"

namespace vennik::cli {

// Reads FILE and analyses it with the settings and options. Throws CliError
// when FILE cannot be read.
Analysis analyseFile(const CommonOptions& opts);
// The same for a source already read (UTF-8).
Analysis analyseSource(const CommonOptions& opts, BigArray<char> source);

// An analysis with the keyword list it read, and what the JSON report's
// findings are checked against: the other shipped lists.
struct CheckedAnalysis {
  Analysis analysis;
  KeywordsInUse keywords;
  FirmwareLists firmware;
};
CheckedAnalysis analyseFileChecked(const CommonOptions& opts);

// Writes UTF-8 text as Windows-1252 bytes. Throws CliError naming the first
// character the code page cannot hold; nothing is written then.
void writeWindows1252(std::ostream& out, std::string_view utf8, std::string_view what);

}  // namespace vennik::cli
