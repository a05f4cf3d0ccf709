#pragma once
// Between protocol positions (0-based line, column in the session's encoding)
// and the analysis's places (1-based line, column in UTF-16 units), and what
// the handlers need to find the name at a request's position.
#include <optional>
#include <string>

#include "jsonrpc.h"
#include "workspace.h"

namespace vennik::lsp {

// 1-based line, 0-based column in UTF-16 units of the raw line.
struct Place {
  int32_t line = 0;
  int32_t column = 0;
};

std::optional<Place> placeOf(const Analysis& a, Position p, PositionEncoding encoding);
Range rangeOf(const Analysis& a, const Occurrence& o, PositionEncoding encoding);
// The text of a line without its leading and trailing blanks.
Range lineTextRange(const Analysis& a, int32_t line, PositionEncoding encoding);
json location(const std::string& uri, const Range& range);

// The document and name that a request with textDocument and position
// points at. `document` is null when the document is not open, `occurrence`
// when no name stands there.
struct NameAtPosition {
  const OpenDocument* document = nullptr;
  const AnalysedDocument* analysed = nullptr;
  const Occurrence* occurrence = nullptr;
  Target target;
};
NameAtPosition nameAtPosition(const Workspace& ws, const json& params);

}  // namespace vennik::lsp
