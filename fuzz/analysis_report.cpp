// The analysis of any bytes as a source, with its report and its JSON: no
// fault, every row listed once, every reference inside its line, and the
// JSON valid.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/analysis.h"
#include "analysis/report_text.h"
#include "base/source_encoding.h"
#include "cli/report_json.h"
#include "settings/keywords/keyword_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vennik;
  static const KeywordTable builtIn = buildKeywordTable();
  // A list with context words, read from the source tree's data.
  static const KeywordsInUse picomite = std::get<KeywordsInUse>(chooseKeywords("picomite", keywordFolders(u"")));
  // The first byte picks the options, so that the Library, the
  // "terminalTemp.txt" rule, context words and the firmware reading (with
  // its findings in the JSON) are reached too.
  const uint8_t pick = size > 0 ? data[0] : 0;
  const KeywordTable& keywords = pick & 8 ? *picomite.table : builtIn;
  AnalysisOptions options;
  options.fileName = pick & 1 ? "terminalTemp.txt" : "fuzz.bas";
  options.libraryList = pick & 2 ? " x a$ loop1 " : "";
  options.variableFactor = pick & 4 ? 0.0f : 0.5f;
  options.reading = pick & 16 ? Reading::Firmware : Reading::Literal;
  const std::string source = sourceBytesToUtf8(std::string(reinterpret_cast<const char*>(data), size));
  const Analysis a = analyse(std::string_view(source), options, keywords, [] { return int64_t{0}; });

  std::vector<bool> listed(static_cast<size_t>(a.rowCount()), false);
  for (int32_t r : a.listingOrder()) {
    if (r < 0 || r >= a.rowCount() || listed[static_cast<size_t>(r)]) std::abort();
    listed[static_cast<size_t>(r)] = true;
  }
  if (a.listingOrder().size() != static_cast<size_t>(a.rowCount())) std::abort();
  for (int32_t i = 0; i < a.rowCount(); ++i) {
    const RowView row = a.row(i);
    if (row.references.empty()) std::abort();
    for (const Reference& ref : row.references) {
      if (ref.line < 1 || ref.line > a.lineCount() || ref.column < 1) std::abort();
      if (static_cast<size_t>(ref.column) > a.rawLine(ref.line).size() + 1) std::abort();
    }
  }
  const std::string report = reportText(a);
  if (report.compare(0, options.fileName.size(), options.fileName) != 0) std::abort();

  std::string json;
  language::BoardContext board;
  board.others.push_back({"PicoMite", picomite.table.get()});
  cli::writeAnalysisJson(a, [&json](std::string_view piece) { json.append(piece); }, board);
  const auto parsed = nlohmann::json::parse(json, nullptr, false);
  if (parsed.is_discarded() || parsed["rows"].size() != static_cast<size_t>(a.rowCount())) std::abort();
  if (options.reading == Reading::Firmware && !parsed["findings"].is_array()) std::abort();
  return 0;
}
