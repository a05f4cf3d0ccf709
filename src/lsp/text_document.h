#pragma once
// The text of one open document as the editor last sent it, with its line
// starts, and the edits of incremental sync.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/position_encoding.h"

namespace vennik::lsp {

// A protocol position: 0-based line, column in the session's encoding.
struct Position {
  uint32_t line = 0;
  uint32_t character = 0;
  friend bool operator==(const Position&, const Position&) = default;
};

struct Range {
  Position start;
  Position end;
  friend bool operator==(const Range&, const Range&) = default;
};

// One entry of didChange: a range to replace, or the whole text.
struct ContentChange {
  std::optional<Range> range;
  std::string text;
};

class TextDocument {
 public:
  explicit TextDocument(std::string text = {});

  const std::string& text() const { return text_; }
  // Lines as the protocol counts them: ended by LF, CR LF or CR alone.
  uint32_t lineCount() const { return static_cast<uint32_t>(lineStarts_.size()); }
  // Line `line` (0-based) without its line end; empty past the last line.
  std::string_view lineText(uint32_t line) const;
  // Byte offset of a position. A line past the end gives the end of the
  // text; a column past the line's end gives the line's end.
  size_t offsetOf(Position p, PositionEncoding encoding) const;

  void apply(const ContentChange& change, PositionEncoding encoding);

 private:
  void indexLines();

  std::string text_;
  std::vector<size_t> lineStarts_;
};

}  // namespace vennik::lsp
