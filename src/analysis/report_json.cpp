#include "analysis/report_json.h"

namespace vennik {

nlohmann::json analysisToJson(const AnalysisState& a, TextView fileName) {
  using nlohmann::json;
  const VariableTables& t = a.tables;
  json j;
  j["file"] = toUtf8(fileName);
  j["lines"] = a.lineStore.lineCount();
  j["sourceLength"] = a.lineStore.sourceLength;
  j["elapsedMs"] = a.elapsedMs;
  j["counts"] = {{"functions", a.counts.functions},   {"cfunctions", a.counts.cfunctions},
                 {"csubs", a.counts.csubs},           {"subroutines", a.counts.subroutines},
                 {"fonts", a.counts.fonts},           {"total", a.counts.total()}};
  j["totalVariables"] = t.rowCount();
  j["unpairedBracketLines"] = t.unpairedBracketNumbers;
  j["unpairedQuoteLines"] = t.unpairedQuoteNumbers;
  json longLines = json::array();
  for (auto [line, length] : t.longLineEntries) longLines.push_back({{"line", line}, {"length", length}});
  j["longLines"] = std::move(longLines);

  json rows = json::array();
  for (int32_t r : a.listingOrder) {
    const VariableRow& row = t.rows[static_cast<size_t>(r)];
    TextView key = row.key;
    TextView scope = key.substr(0, std::min(key.size(), static_cast<size_t>(t.scopeWidth)));
    TextView name = row.isDefinition ? TextView() : key.substr(std::min(key.size(), scope.size() + 2));
    rows.push_back({{"scope", toUtf8(trimBlanks(scope))},
                    {"name", toUtf8(name)},
                    {"kind", toUtf8(row.kindMark)},
                    {"definition", row.isDefinition},
                    {"lines", row.lines.numbers()}});
  }
  j["rows"] = std::move(rows);
  return j;
}

}  // namespace vennik
