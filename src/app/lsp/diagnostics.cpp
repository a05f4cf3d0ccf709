#include "diagnostics.h"

#include <string>

#include "params.h"
#include "places.h"

namespace vennik::lsp {

namespace {

constexpr int kWarning = 2;
constexpr int kInformation = 3;

json diagnostic(const Range& range, int severity, std::string_view code, std::string message) {
  return json{{"range", toJson(range)},
              {"severity", severity},
              {"code", code},
              {"source", "vennikplus"},
              {"message", std::move(message)}};
}

std::string whereUsed(const Analysis& a, int32_t scope) {
  if (scope == Analysis::kMainScope) return "the main program";
  return std::string(a.scopeName(scope));
}

}  // namespace

json publishDiagnosticsParams(const OpenDocument& doc, PositionEncoding encoding) {
  const Analysis& a = doc.analysed->analysis;
  json list = json::array();
  for (int32_t line : a.unpairedBrackets()) {
    list.push_back(diagnostic(lineTextRange(a, line, encoding), kWarning, "unpaired-bracket",
                              "Unpaired bracket: this line opens and closes a different number of brackets"));
  }
  for (int32_t line : a.unpairedQuotes()) {
    list.push_back(diagnostic(lineTextRange(a, line, encoding), kWarning, "unpaired-quote",
                              "Unpaired quote: a string on this line is not closed"));
  }
  for (const LongLine& l : a.longLines()) {
    list.push_back(diagnostic(lineTextRange(a, l.line, encoding), kInformation, "long-line",
                              "Line is " + std::to_string(l.length) +
                                  " characters long; the board's own editor shows 80"));
  }
  const NameLookup& index = doc.analysed->index;
  for (int32_t r = 0; r < a.rowCount(); ++r) {
    const RowView row = a.row(r);
    if (row.kind != RowKind::Undeclared || row.references.empty()) continue;
    const auto first = index.declarationsOf({Target::Kind::Row, r, -1});
    if (first.empty()) continue;
    list.push_back(diagnostic(rangeOf(a, first.front(), encoding), kInformation, "undeclared",
                              "'" + std::string(row.name) + "' is used in " + whereUsed(a, row.scope) +
                                  " without a declaration there and is not global"));
  }
  return json{{"uri", doc.uri}, {"version", doc.version}, {"diagnostics", std::move(list)}};
}

}  // namespace vennik::lsp
