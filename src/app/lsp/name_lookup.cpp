#include "name_lookup.h"

#include <algorithm>
#include <set>

#include "position_encoding.h"

namespace vennik::lsp {

std::string foldCase(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

NameLookup::NameLookup(const Analysis& analysis) : analysis_(&analysis) {
  const int32_t lines = analysis.lineCount();
  asciiLine_.assign(static_cast<size_t>(lines) + 1, true);
  for (int32_t n = 1; n <= lines; ++n) {
    const std::string_view raw = analysis.rawLine(n);
    asciiLine_[static_cast<size_t>(n)] =
        std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  }

  for (int32_t r = 0; r < analysis.rowCount(); ++r) {
    const RowView row = analysis.row(r);
    rowsByName_[foldCase(row.name)].push_back(r);
    for (const Reference& ref : row.references) {
      if (ref.line < 1 || ref.line > lines) continue;
      Occurrence o = occurrenceOf(r, ref);
      o.ownScope = row.scope == analysis.scopeAtLine(ref.line);
      byPlace_.push_back(o);
    }
  }
  for (const Definition& d : analysis.definitions()) {
    if (d.kind != DefinitionKind::Font && d.scope >= 0 && !d.name.empty()) callables_.emplace(foldCase(d.name), d.scope);
  }

  std::sort(byPlace_.begin(), byPlace_.end(), [&](const Occurrence& a, const Occurrence& b) {
    if (a.line != b.line) return a.line < b.line;
    if (a.column != b.column) return a.column < b.column;
    // Where two rows share a place, the row of the line's own scope comes first.
    if (a.ownScope != b.ownScope) return a.ownScope;
    return a.row < b.row;
  });
  byPlace_.erase(std::unique(byPlace_.begin(), byPlace_.end(),
                             [](const Occurrence& a, const Occurrence& b) {
                               return a.line == b.line && a.column == b.column && a.row == b.row;
                             }),
                 byPlace_.end());
  lineStart_.assign(static_cast<size_t>(lines) + 2, 0);
  for (const Occurrence& o : byPlace_) ++lineStart_[static_cast<size_t>(o.line) + 1];
  for (size_t i = 1; i < lineStart_.size(); ++i) lineStart_[i] += lineStart_[i - 1];
}

Occurrence NameLookup::occurrenceOf(int32_t row, const Reference& ref) const {
  const std::string_view raw = analysis_->rawLine(ref.line);
  const int32_t column = std::max(0, ref.column - 1);
  size_t at = asciiLine_[static_cast<size_t>(ref.line)]
                  ? std::min<size_t>(static_cast<size_t>(column), raw.size())
                  : byteOffsetAt(raw, static_cast<uint32_t>(column), PositionEncoding::Utf16);
  size_t end = at;
  while (end < raw.size() && isNameChar(raw[end])) ++end;
  int32_t length = static_cast<int32_t>(end - at);
  if (length == 0 && row >= 0) length = static_cast<int32_t>(analysis_->row(row).name.size());
  return {ref.line, column, length, row};
}

const Occurrence* NameLookup::at(int32_t line, int32_t column) const {
  if (line < 1 || line >= static_cast<int32_t>(lineStart_.size()) - 1) return nullptr;
  const Occurrence* just_after = nullptr;
  for (uint32_t i = lineStart_[static_cast<size_t>(line)]; i < lineStart_[static_cast<size_t>(line) + 1]; ++i) {
    const Occurrence& o = byPlace_[i];
    if (o.column > column) break;
    if (column < o.column + o.length) return &o;
    if (column == o.column + o.length && !just_after) just_after = &o;
  }
  return just_after;
}

int32_t NameLookup::callableScope(std::string_view name) const {
  auto it = callables_.find(foldCase(name));
  return it == callables_.end() ? -1 : it->second;
}

const std::vector<int32_t>& NameLookup::rowsNamed(std::string_view name) const {
  static const std::vector<int32_t> kNone;
  auto it = rowsByName_.find(foldCase(name));
  return it == rowsByName_.end() ? kNone : it->second;
}

Target NameLookup::targetOf(int32_t row) const {
  const RowView r = analysis_->row(row);
  if (r.definitionRow) return {Target::Kind::Callable, -1, r.scope};
  if (r.kind == RowKind::Definition || r.kind == RowKind::Library) {
    const int32_t scope = callableScope(r.name);
    if (scope >= 0) return {Target::Kind::Callable, -1, scope};
  }
  return {Target::Kind::Row, row, -1};
}

std::vector<int32_t> NameLookup::rowsOf(const Target& target) const {
  if (target.kind == Target::Kind::Row) return {target.row};
  std::vector<int32_t> rows;
  for (int32_t r : rowsNamed(analysis_->scopeName(target.scope))) {
    const RowView row = analysis_->row(r);
    if (row.definitionRow ? row.scope == target.scope
                          : row.kind == RowKind::Definition || row.kind == RowKind::Library) {
      rows.push_back(r);
    }
  }
  return rows;
}

std::vector<Occurrence> NameLookup::rowOccurrences(int32_t row) const {
  std::vector<Occurrence> out;
  for (const Reference& ref : analysis_->row(row).references) {
    if (ref.line >= 1 && ref.line <= analysis_->lineCount()) out.push_back(occurrenceOf(row, ref));
  }
  return out;
}

std::vector<Occurrence> NameLookup::occurrencesOf(const Target& target) const {
  return occurrencesOf(target, rowsOf(target));
}

std::vector<Occurrence> NameLookup::occurrencesOf(const Target& target, const std::vector<int32_t>& rows) const {
  std::vector<Occurrence> out;
  for (int32_t r : rows) {
    auto occ = rowOccurrences(r);
    out.insert(out.end(), occ.begin(), occ.end());
  }
  if (target.kind == Target::Kind::Callable) {
    auto headers = declarationsOf(target);
    out.insert(out.end(), headers.begin(), headers.end());
  }
  std::sort(out.begin(), out.end(), [](const Occurrence& a, const Occurrence& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  out.erase(std::unique(out.begin(), out.end(),
                        [](const Occurrence& a, const Occurrence& b) { return a.line == b.line && a.column == b.column; }),
            out.end());
  return out;
}

std::vector<Occurrence> NameLookup::declarationsOf(const Target& target) const {
  std::vector<Occurrence> out;
  if (target.kind == Target::Kind::Row) {
    const RowView row = analysis_->row(target.row);
    if (!row.references.empty() && row.references.front().line >= 1 &&
        row.references.front().line <= analysis_->lineCount()) {
      out.push_back(occurrenceOf(target.row, row.references.front()));
    }
    return out;
  }
  for (const Definition& d : analysis_->definitions()) {
    if (d.scope != target.scope || d.name.empty() || d.nameAt.line < 1) continue;
    Occurrence o = occurrenceOf(d.row, d.nameAt);
    o.length = static_cast<int32_t>(d.name.size());
    out.push_back(o);
  }
  return out;
}

std::vector<int32_t> NameLookup::withRowsSharingPlaces(std::vector<int32_t> rows) const {
  std::set<int32_t> seen(rows.begin(), rows.end());
  for (size_t i = 0; i < rows.size(); ++i) {
    for (const Occurrence& o : rowOccurrences(rows[i])) {
      for (uint32_t k = lineStart_[static_cast<size_t>(o.line)]; k < lineStart_[static_cast<size_t>(o.line) + 1]; ++k) {
        const Occurrence& other = byPlace_[k];
        if (other.column == o.column && seen.insert(other.row).second) rows.push_back(other.row);
      }
    }
  }
  return rows;
}

int32_t NameLookup::lineCountOf(const Target& target) const {
  std::set<int32_t> lines;
  for (const Occurrence& o : occurrencesOf(target)) lines.insert(o.line);
  return static_cast<int32_t>(lines.size());
}

}  // namespace vennik::lsp
