#include "lsp/positions.h"

#include <algorithm>
#include <limits>

namespace vennik::lsp {

language::Position PositionConverter::toFeatures(language::DocumentId document, Position p) const {
  const auto line = static_cast<int32_t>(std::min<uint32_t>(p.line, std::numeric_limits<int32_t>::max() - 1)) + 1;
  const size_t column = byteOffsetAt(program_.lineText(document, line), p.character, encoding_);
  return {line, static_cast<int32_t>(column)};
}

Position PositionConverter::toProtocol(language::DocumentId document, language::Position p) const {
  const std::string_view text = program_.lineText(document, p.line);
  const auto column = static_cast<size_t>(p.column);
  // A place past the line's end (none the features make from the text)
  // keeps its distance from the end, a unit a byte.
  const uint32_t units = column <= text.size()
                             ? unitCount(text.substr(0, column), encoding_)
                             : unitCount(text, encoding_) + static_cast<uint32_t>(column - text.size());
  return {static_cast<uint32_t>(p.line - 1), units};
}

Range PositionConverter::toProtocol(language::DocumentId document, const language::Range& r) const {
  return {toProtocol(document, r.start), toProtocol(document, r.end)};
}

}  // namespace vennik::lsp
