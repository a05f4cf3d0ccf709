#include "analysis/analysis.h"

#include <algorithm>

#include "base/utf8_text.h"

namespace vennik {

std::string_view kindMark(RowKind kind) {
  switch (kind) {
    case RowKind::Plain: return "";
    case RowKind::Declared: return "  ";
    case RowKind::Undeclared: return "***";
    case RowKind::Definition: return "Fn";
    case RowKind::Label: return "Lbl";
    case RowKind::Library: return "Lib";
  }
  return "";
}

std::string_view kindWord(RowKind kind) {
  switch (kind) {
    case RowKind::Plain: return "plain";
    case RowKind::Declared: return "declared";
    case RowKind::Undeclared: return "undeclared";
    case RowKind::Definition: return "definition";
    case RowKind::Label: return "label";
    case RowKind::Library: return "library";
  }
  return "";
}

std::string_view readingWord(Reading reading) {
  return reading == Reading::Firmware ? "firmware" : "literal";
}

std::string_view definitionKindWord(DefinitionKind kind) {
  switch (kind) {
    case DefinitionKind::Sub: return "sub";
    case DefinitionKind::Function: return "function";
    case DefinitionKind::CFunction: return "cfunction";
    case DefinitionKind::CSub: return "csub";
    case DefinitionKind::Font: return "font";
  }
  return "";
}

std::string_view Analysis::rawLine(int32_t n) const {
  const LineSpan& span = lines_[static_cast<size_t>(n - 1)];
  return source().substr(span.begin, span.end - span.begin);
}

std::string_view Analysis::line(int32_t n) const {
  std::string_view s = rawLine(n);
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return s.substr(b, e - b);
}

int32_t Analysis::scopeAtLine(int32_t line) const {
  // The last definition header at or before the line, if the line lies
  // within its reach.
  int32_t scope = kMainScope;
  for (auto it = definitions_.rbegin(); it != definitions_.rend(); ++it) {
    if (it->scope < 0 || it->line > line) continue;
    if (line <= it->endLine) scope = it->scope;
    break;
  }
  return scope;
}

std::vector<int32_t> Analysis::scopesByLine() const {
  std::vector<int32_t> scopes(static_cast<size_t>(lineCount()) + 1, kMainScope);
  std::vector<const Definition*> headers;
  for (const Definition& d : definitions_) {
    if (d.scope >= 0) headers.push_back(&d);
  }
  const bool inOrder = std::is_sorted(headers.begin(), headers.end(),
                                      [](const Definition* a, const Definition* b) { return a->line < b->line; });
  if (!inOrder) {
    for (int32_t line = 1; line <= lineCount(); ++line) scopes[static_cast<size_t>(line)] = scopeAtLine(line);
    return scopes;
  }
  // Each header rules the lines up to its end or the next header, as
  // scopeAtLine reads them one by one.
  for (size_t i = 0; i < headers.size(); ++i) {
    int32_t end = std::min(headers[i]->endLine, lineCount());
    if (i + 1 < headers.size()) end = std::min(end, headers[i + 1]->line - 1);
    for (int32_t line = std::max(1, headers[i]->line); line <= end; ++line) scopes[static_cast<size_t>(line)] = headers[i]->scope;
  }
  return scopes;
}

RowView Analysis::row(int32_t index) const {
  const RowRecord& r = rows_[static_cast<size_t>(index)];
  RowView v;
  v.index = index;
  v.scope = spellingScopes_[static_cast<size_t>(r.scopeSpelling)];
  v.scopeName = scopeSpellings_[static_cast<size_t>(r.scopeSpelling)];
  v.name = source().substr(r.nameBegin, r.nameLength);
  v.kind = r.kind;
  v.definitionRow = r.definitionRow;
  const uint32_t b = referenceBegin_[static_cast<size_t>(index)];
  const uint32_t e = referenceBegin_[static_cast<size_t>(index) + 1];
  v.references = std::span<const Reference>(references_.data() + b, e - b);
  return v;
}

int32_t Analysis::findRow(int32_t scope, std::string_view name) const {
  const std::string folded = foldCase(name);
  for (int32_t i = 0; i < rowCount(); ++i) {
    const RowRecord& r = rows_[static_cast<size_t>(i)];
    if (spellingScopes_[static_cast<size_t>(r.scopeSpelling)] == scope && r.nameLength == name.size() &&
        foldCase(source().substr(r.nameBegin, r.nameLength)) == folded)
      return i;
  }
  return -1;
}

std::vector<int32_t> Analysis::listedLines(int32_t row) const {
  std::vector<int32_t> out;
  forEachListedLine(row, [&out](int32_t n) { out.push_back(n); });
  return out;
}

}  // namespace vennik
