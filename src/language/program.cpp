#include "language/program.h"

namespace vennik::language {

Program::Program(std::string document, Analysis analysis)
    : documents_{std::move(document)}, analysis_(std::move(analysis)), names_(analysis_) {}

std::optional<DocumentId> Program::findDocument(std::string_view name) const {
  for (size_t i = 0; i < documents_.size(); ++i) {
    if (documents_[i] == name) return static_cast<DocumentId>(i);
  }
  return std::nullopt;
}

std::optional<Position> Program::inAnalysis(DocumentId document, Position p) const {
  if (document != 0 || p.line < 1 || p.line > analysis_.lineCount()) return std::nullopt;
  return p;
}

Location Program::locate(const Range& range) const { return {0, range}; }

std::string_view Program::lineText(DocumentId document, int32_t line) const {
  if (document != 0 || line < 1 || line > analysis_.lineCount()) return {};
  return analysis_.rawLine(line);
}

const Occurrence* Program::nameAt(DocumentId document, Position p) const {
  const auto at = inAnalysis(document, p);
  return at ? names_.at(*at) : nullptr;
}

Range Program::lineTextRange(int32_t line) const {
  const std::string_view raw = analysis_.rawLine(line);
  size_t begin = 0, end = raw.size();
  while (begin < end && raw[begin] == ' ') ++begin;
  while (end > begin && raw[end - 1] == ' ') --end;
  return {{line, static_cast<int32_t>(begin)}, {line, static_cast<int32_t>(end)}};
}

}  // namespace vennik::language
