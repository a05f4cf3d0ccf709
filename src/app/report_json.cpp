#include "report_json.h"

#include <nlohmann/json.hpp>

namespace vennik::cli {

namespace {
using json = nlohmann::ordered_json;

// Names and file names are not always valid UTF-8 (a file name is whatever
// the file system holds): invalid bytes become U+FFFD rather than an error.
std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

json references(const RowView& row) {
  json refs = json::array();
  for (const Reference& r : row.references) refs.push_back({{"line", r.line}, {"column", r.column}});
  return refs;
}
}  // namespace

void writeAnalysisJson(const Analysis& a, const TextSink& sink) {
  json head;
  head["schema"] = 1;
  head["file"] = a.fileName();
  head["lines"] = a.lineCount();
  head["names"] = a.rowCount();
  head["bytes"] = a.sourceLength();
  head["elapsedMs"] = a.elapsedMs();
  const DefinitionCounts& c = a.counts();
  head["counts"] = {{"functions", c.functions}, {"cfunctions", c.cfunctions}, {"csubs", c.csubs},
                    {"subroutines", c.subroutines}, {"fonts", c.fonts}, {"total", c.total()}};
  head["unpairedBrackets"] = a.unpairedBrackets();
  head["unpairedQuotes"] = a.unpairedQuotes();
  json longLines = json::array();
  for (const LongLine& l : a.longLines()) longLines.push_back({{"line", l.line}, {"length", l.length}});
  head["longLines"] = std::move(longLines);
  json definitions = json::array();
  for (const Definition& d : a.definitions()) {
    definitions.push_back({{"name", std::string(d.name)},
                           {"kind", std::string(definitionKindWord(d.kind))},
                           {"line", d.line},
                           {"endLine", d.endLine}});
  }
  head["definitions"] = std::move(definitions);

  // The head without its closing brace, then the rows.
  std::string text = dump(head);
  text.pop_back();
  text += ",\"rows\":[";
  std::string piece;
  bool first = true;
  for (int32_t r : a.listingOrder()) {
    const RowView row = a.row(r);
    const json j = {{"scope", std::string(row.scopeName)},
                    {"name", std::string(row.name)},
                    {"kind", std::string(kindWord(row.kind))},
                    {"mark", std::string(kindMark(row.kind))},
                    {"lines", a.listedLines(r)},
                    {"references", references(row)}};
    text += first ? "\n" : ",\n";
    first = false;
    text += dump(j);
    if (text.size() >= (1 << 16)) {
      sink(text);
      text.clear();
    }
  }
  text += "\n]}\n";
  sink(text);
}

}  // namespace vennik::cli
