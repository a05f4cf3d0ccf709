#include "places.h"

#include "params.h"

namespace vennik::lsp {

std::optional<Place> placeOf(const Analysis& a, Position p, PositionEncoding encoding) {
  const int32_t line = static_cast<int32_t>(p.line) + 1;
  if (line < 1 || line > a.lineCount()) return std::nullopt;
  const uint32_t column = convertColumn(a.rawLine(line), p.character, encoding, PositionEncoding::Utf16);
  return Place{line, static_cast<int32_t>(column)};
}

namespace {
Position protocolPosition(const Analysis& a, int32_t line, int32_t column16, PositionEncoding encoding) {
  const uint32_t c = convertColumn(a.rawLine(line), static_cast<uint32_t>(column16), PositionEncoding::Utf16, encoding);
  return {static_cast<uint32_t>(line - 1), c};
}
}  // namespace

Range rangeOf(const Analysis& a, const Occurrence& o, PositionEncoding encoding) {
  const Position start = protocolPosition(a, o.line, o.column, encoding);
  // Names are ASCII: one unit a character in every encoding.
  return {start, {start.line, start.character + static_cast<uint32_t>(o.length)}};
}

Range lineTextRange(const Analysis& a, int32_t line, PositionEncoding encoding) {
  const std::string_view raw = a.rawLine(line);
  size_t begin = 0, end = raw.size();
  while (begin < end && raw[begin] == ' ') ++begin;
  while (end > begin && raw[end - 1] == ' ') --end;
  const uint32_t n = static_cast<uint32_t>(line - 1);
  return {{n, unitCount(raw.substr(0, begin), encoding)}, {n, unitCount(raw.substr(0, end), encoding)}};
}

json location(const std::string& uri, const Range& range) { return json{{"uri", uri}, {"range", toJson(range)}}; }

NameAtPosition nameAtPosition(const Workspace& ws, const json& params) {
  NameAtPosition at;
  const std::string uri = documentUri(params);
  const Position p = positionFrom(member(params, "position", "params"), "params.position");
  at.document = ws.find(uri);
  if (!at.document) return at;
  at.analysed = at.document->analysed.get();
  const auto place = placeOf(at.analysed->analysis, p, ws.encoding());
  if (!place) return at;
  at.occurrence = at.analysed->index.at(place->line, place->column);
  if (at.occurrence) at.target = at.analysed->index.targetOf(at.occurrence->row);
  return at;
}

}  // namespace vennik::lsp
