#include "language/program.h"

#include <algorithm>

#include "base/line_ends.h"

namespace vennik::language {

namespace {
AssembledProgram oneFile(std::string_view text, int32_t lineCount) {
  AssembledProgram one;
  one.files.push_back({{}, std::string(text), 0});
  one.lines.reserve(static_cast<size_t>(lineCount));
  for (int32_t line = 1; line <= lineCount; ++line) one.lines.push_back({0, line});
  return one;
}

Range trimmed(std::string_view raw, int32_t line) {
  size_t begin = 0, end = raw.size();
  while (begin < end && raw[begin] == ' ') ++begin;
  while (end > begin && raw[end - 1] == ' ') --end;
  return {{line, static_cast<int32_t>(begin)}, {line, static_cast<int32_t>(end)}};
}
}  // namespace

Program::Program(std::string document, Analysis analysis) : analysis_(std::move(analysis)), names_(analysis_) {
  std::vector<std::string> name{std::move(document)};
  take(name, oneFile(analysis_.source(), analysis_.lineCount()));
}

Program::Program(std::vector<std::string> documents, AssembledProgram assembled, Analysis analysis)
    : analysis_(std::move(analysis)), names_(analysis_) {
  take(documents, std::move(assembled));
}

void Program::take(std::vector<std::string>& documents, AssembledProgram assembled) {
  origins_ = std::move(assembled.lines);
  problems_ = std::move(assembled.problems);
  documents_.resize(assembled.files.size());
  for (size_t i = 0; i < documents_.size(); ++i) {
    Document& d = documents_[i];
    ProgramFile& file = assembled.files[i];
    d.path = std::move(file.path);
    d.name = i < documents.size() ? std::move(documents[i]) : d.path;
    d.text = std::move(file.text);
    d.includedAt = {file.includedBy, file.includedAt};
    d.markBytes = file.markBytes;
    forEachLine(d.text, 0, [&](size_t b, size_t e) {
      d.lines.push_back({static_cast<uint32_t>(b), static_cast<uint32_t>(e)});
    });
    d.analysisLine.assign(d.lines.size(), 0);
  }
  // A file included twice maps its lines to where they first stand.
  const auto count = std::min(static_cast<int32_t>(origins_.size()), analysis_.lineCount());
  origins_.resize(static_cast<size_t>(count));
  for (int32_t line = count; line >= 1; --line) {
    const LineOrigin& o = origins_[static_cast<size_t>(line - 1)];
    Document& d = documents_[static_cast<size_t>(o.file)];
    if (o.line >= 1 && o.line <= static_cast<int32_t>(d.analysisLine.size())) {
      d.analysisLine[static_cast<size_t>(o.line - 1)] = line;
    }
  }
}

std::optional<DocumentId> Program::findDocument(std::string_view name) const {
  for (size_t i = 0; i < documents_.size(); ++i) {
    if (documents_[i].name == name) return static_cast<DocumentId>(i);
  }
  return std::nullopt;
}

std::optional<Program::IncludedAt> Program::includedAt(DocumentId document) const {
  if (document <= 0 || document >= documentCount()) return std::nullopt;
  const IncludedAt& at = documents_[static_cast<size_t>(document)].includedAt;
  if (at.by < 0) return std::nullopt;
  return at;
}

int32_t Program::shiftOf(const LineOrigin& origin) const {
  return origin.line == 1 ? documents_[static_cast<size_t>(origin.file)].markBytes : 0;
}

std::optional<Position> Program::inAnalysis(DocumentId document, Position p) const {
  if (document < 0 || document >= documentCount()) return std::nullopt;
  const Document& d = documents_[static_cast<size_t>(document)];
  if (p.line < 1 || p.line > static_cast<int32_t>(d.analysisLine.size())) return std::nullopt;
  const int32_t line = d.analysisLine[static_cast<size_t>(p.line - 1)];
  if (line == 0) return std::nullopt;
  const int32_t shift = p.line == 1 ? d.markBytes : 0;
  return Position{line, std::max(0, p.column - shift)};
}

Location Program::locate(const Range& range) const {
  const auto known = [&](int32_t line) { return line >= 1 && line <= static_cast<int32_t>(origins_.size()); };
  if (!known(range.start.line)) return {0, range};
  const LineOrigin& from = origins_[static_cast<size_t>(range.start.line - 1)];
  Location out{from.file, {{from.line, range.start.column + shiftOf(from)}, {}}};
  // A range that runs into another file ends with the last of its own lines.
  int32_t last = std::min(range.end.line, static_cast<int32_t>(origins_.size()));
  while (last > range.start.line && origins_[static_cast<size_t>(last - 1)].file != from.file) --last;
  const LineOrigin& to = origins_[static_cast<size_t>(last - 1)];
  const int32_t column = last == range.end.line ? range.end.column
                                                 : static_cast<int32_t>(analysis_.rawLine(last).size());
  out.range.end = {to.line, column + shiftOf(to)};
  return out;
}

std::string_view Program::lineText(DocumentId document, int32_t line) const {
  if (document < 0 || document >= documentCount()) return {};
  const Document& d = documents_[static_cast<size_t>(document)];
  if (line < 1 || line > static_cast<int32_t>(d.lines.size())) return {};
  const Document::Span& s = d.lines[static_cast<size_t>(line - 1)];
  return std::string_view(d.text).substr(s.begin, s.end - s.begin);
}

int32_t Program::documentLineCount(DocumentId document) const {
  if (document < 0 || document >= documentCount()) return 0;
  return static_cast<int32_t>(documents_[static_cast<size_t>(document)].lines.size());
}

const Occurrence* Program::nameAt(DocumentId document, Position p) const {
  const auto at = inAnalysis(document, p);
  return at ? names_.at(*at) : nullptr;
}

Range Program::lineTextRange(int32_t line) const { return trimmed(analysis_.rawLine(line), line); }

Range Program::documentLineRange(DocumentId document, int32_t line) const {
  return trimmed(lineText(document, line), line);
}

}  // namespace vennik::language
