#include "lsp/text_document.h"

#include <algorithm>

namespace vennik::lsp {

TextDocument::TextDocument(std::string text) : text_(std::move(text)) { indexLines(); }

void TextDocument::indexLines() {
  lineStarts_.clear();
  lineStarts_.push_back(0);
  for (size_t i = 0; i < text_.size(); ++i) {
    const char c = text_[i];
    if (c == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
    if (c == '\r' || c == '\n') lineStarts_.push_back(i + 1);
  }
}

std::string_view TextDocument::lineText(uint32_t line) const {
  if (line >= lineStarts_.size()) return {};
  const size_t begin = lineStarts_[line];
  size_t end = line + 1 < lineStarts_.size() ? lineStarts_[line + 1] : text_.size();
  // The segment up to the next line start ends with exactly one line end.
  if (end > begin && text_[end - 1] == '\n') --end;
  if (end > begin && text_[end - 1] == '\r') --end;
  return std::string_view(text_).substr(begin, end - begin);
}

size_t TextDocument::offsetOf(Position p, PositionEncoding encoding) const {
  if (p.line >= lineStarts_.size()) return text_.size();
  return lineStarts_[p.line] + byteOffsetAt(lineText(p.line), p.character, encoding);
}

void TextDocument::apply(const ContentChange& change, PositionEncoding encoding) {
  if (!change.range) {
    text_ = change.text;
  } else {
    size_t begin = offsetOf(change.range->start, encoding);
    size_t end = offsetOf(change.range->end, encoding);
    if (end < begin) std::swap(begin, end);
    text_.replace(begin, end - begin, change.text);
  }
  indexLines();
}

}  // namespace vennik::lsp
