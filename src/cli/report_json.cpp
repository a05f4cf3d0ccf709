#include "cli/report_json.h"

#include <nlohmann/json.hpp>

namespace vennik::cli {

namespace {
using json = nlohmann::ordered_json;

// Names and file names are not always valid UTF-8 (a file name is whatever
// the file system holds): invalid bytes become U+FFFD rather than an error.
std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

// Numbers need no escaping: a row's line list and references are written
// straight out, which keeps a million-line program's JSON fast.
void appendNumber(std::string& out, int64_t n) { out += std::to_string(n); }
}  // namespace

void writeAnalysisJson(const Analysis& a, const TextSink& sink, const language::BoardContext& board) {
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
  // The literal reading's document stays as it always was.
  if (a.reading() == Reading::Firmware) {
    json findings = json::array();
    for (const language::BoardFinding& f : language::boardFindings(a, board)) {
      const RowView row = a.row(f.row);
      findings.push_back({{"line", row.references.front().line},
                          {"column", row.references.front().column},
                          {"code", std::string(f.code)},
                          {"severity", std::string(language::severityWord(f.severity))},
                          {"message", f.message}});
    }
    head["reading"] = "firmware";
    head["findings"] = std::move(findings);
  }

  // The head without its closing brace, then the rows.
  std::string text = dump(head);
  text.pop_back();
  text += ",\"rows\":[";
  bool first = true;
  for (int32_t r : a.listingOrder()) {
    const RowView row = a.row(r);
    text += first ? "\n{\"scope\":" : ",\n{\"scope\":";
    first = false;
    text += dump(std::string(row.scopeName));
    text += ",\"name\":";
    text += dump(std::string(row.name));
    text += ",\"kind\":\"";
    text += kindWord(row.kind);
    text += "\",\"mark\":\"";
    text += kindMark(row.kind);
    text += "\",\"lines\":[";
    bool firstLine = true;
    a.forEachListedLine(r, [&](int32_t n) {
      if (!firstLine) text += ',';
      firstLine = false;
      appendNumber(text, n);
    });
    text += "],\"references\":[";
    for (size_t k = 0; k < row.references.size(); ++k) {
      text += k ? ",{\"line\":" : "{\"line\":";
      appendNumber(text, row.references[k].line);
      text += ",\"column\":";
      appendNumber(text, row.references[k].column);
      text += '}';
    }
    text += "]}";
    if (text.size() >= (1 << 16)) {
      sink(text);
      text.clear();
    }
  }
  text += "\n]}\n";
  sink(text);
}

}  // namespace vennik::cli
