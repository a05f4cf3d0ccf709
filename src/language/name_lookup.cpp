#include "language/name_lookup.h"

#include <algorithm>
#include <set>

#include "analysis/name_characters.h"
#include "base/utf8_text.h"

namespace vennik::language {

NameLookup::NameLookup(const Analysis& analysis) : analysis_(&analysis) {
  const int32_t lines = analysis.lineCount();
  asciiLine_.assign(static_cast<size_t>(lines) + 1, true);
  for (int32_t n = 1; n <= lines; ++n) asciiLine_[static_cast<size_t>(n)] = isAscii(analysis.rawLine(n));
  for (const Definition& d : analysis.definitions()) {
    if (d.kind != DefinitionKind::Font && d.scope >= 0 && !d.name.empty()) callables_.emplace(foldCase(d.name), d.scope);
  }
}

void NameLookup::indexPlaces() const {
  if (placesIndexed_) return;
  placesIndexed_ = true;
  const Analysis& analysis = *analysis_;
  const int32_t lines = analysis.lineCount();
  const std::vector<int32_t> scopes = analysis.scopesByLine();

  // The places go straight to their lines (counted first), and each line's
  // few are sorted on their own.
  lineStart_.assign(static_cast<size_t>(lines) + 2, 0);
  size_t places = 0;
  for (int32_t r = 0; r < analysis.rowCount(); ++r) {
    for (const Reference& ref : analysis.row(r).references) {
      if (ref.line < 1 || ref.line > lines) continue;
      ++lineStart_[static_cast<size_t>(ref.line) + 1];
      ++places;
    }
  }
  for (size_t i = 1; i < lineStart_.size(); ++i) lineStart_[i] += lineStart_[i - 1];
  byPlace_.resize(places);
  std::vector<uint32_t> next(lineStart_.begin(), lineStart_.end() - 1);
  for (int32_t r = 0; r < analysis.rowCount(); ++r) {
    const RowView row = analysis.row(r);
    for (const Reference& ref : row.references) {
      if (ref.line < 1 || ref.line > lines) continue;
      Occurrence o = occurrenceOf(r, ref);
      o.ownScope = row.scope == scopes[static_cast<size_t>(ref.line)];
      byPlace_[next[static_cast<size_t>(ref.line)]++] = o;
    }
  }

  const auto before = [](const Occurrence& a, const Occurrence& b) {
    if (a.start != b.start) return a.start < b.start;
    // Where two rows share a place, the row of the line's own scope comes first.
    if (a.ownScope != b.ownScope) return a.ownScope;
    return a.row < b.row;
  };
  const auto same = [](const Occurrence& a, const Occurrence& b) { return a.start == b.start && a.row == b.row; };
  // Each line sorted and its repeats dropped, closing the gaps as it goes.
  size_t kept = 0;
  for (int32_t line = 1; line <= lines; ++line) {
    const auto from = byPlace_.begin() + lineStart_[static_cast<size_t>(line)];
    const auto to = byPlace_.begin() + lineStart_[static_cast<size_t>(line) + 1];
    std::sort(from, to, before);
    lineStart_[static_cast<size_t>(line)] = static_cast<uint32_t>(kept);
    for (auto it = from; it != to; ++it) {
      if (it != from && same(*it, *(it - 1))) continue;
      byPlace_[kept++] = *it;
    }
  }
  lineStart_[static_cast<size_t>(lines) + 1] = static_cast<uint32_t>(kept);
  byPlace_.resize(kept);
}

Position NameLookup::positionOf(const Reference& ref) const {
  const std::string_view raw = analysis_->rawLine(ref.line);
  const size_t column = static_cast<size_t>(std::max(0, ref.column - 1));
  const size_t at = asciiLine_[static_cast<size_t>(ref.line)] ? std::min(column, raw.size())
                                                               : byteOffsetOfUtf16Column(raw, column);
  return {ref.line, static_cast<int32_t>(at)};
}

Occurrence NameLookup::occurrenceOf(int32_t row, const Reference& ref) const {
  const Position start = positionOf(ref);
  const std::string_view raw = analysis_->rawLine(ref.line);
  size_t end = static_cast<size_t>(start.column);
  while (end < raw.size() && isNameChar(raw[end])) ++end;
  int32_t length = static_cast<int32_t>(end) - start.column;
  if (length == 0 && row >= 0) length = static_cast<int32_t>(analysis_->row(row).name.size());
  return {start, length, row};
}

const Occurrence* NameLookup::at(Position p) const {
  indexPlaces();
  if (p.line < 1 || p.line >= static_cast<int32_t>(lineStart_.size()) - 1) return nullptr;
  const Occurrence* justAfter = nullptr;
  for (uint32_t i = lineStart_[static_cast<size_t>(p.line)]; i < lineStart_[static_cast<size_t>(p.line) + 1]; ++i) {
    const Occurrence& o = byPlace_[i];
    if (o.start.column > p.column) break;
    if (p.column < o.start.column + o.length) return &o;
    if (p.column == o.start.column + o.length && !justAfter) justAfter = &o;
  }
  return justAfter;
}

std::span<const Occurrence> NameLookup::onLine(int32_t line) const {
  indexPlaces();
  if (line < 1 || line >= static_cast<int32_t>(lineStart_.size()) - 1) return {};
  const uint32_t begin = lineStart_[static_cast<size_t>(line)];
  const uint32_t end = lineStart_[static_cast<size_t>(line) + 1];
  return std::span<const Occurrence>(byPlace_).subspan(begin, end - begin);
}

int32_t NameLookup::callableScope(std::string_view name) const {
  auto it = callables_.find(foldCase(name));
  return it == callables_.end() ? -1 : it->second;
}

const std::vector<int32_t>& NameLookup::rowsNamed(std::string_view name) const {
  static const std::vector<int32_t> kNone;
  // Built when first asked for: most programs are analysed for their
  // diagnostics alone, which need no lookup by name.
  if (!rowsByNameBuilt_) {
    for (int32_t r = 0; r < analysis_->rowCount(); ++r) rowsByName_[foldCase(analysis_->row(r).name)].push_back(r);
    rowsByNameBuilt_ = true;
  }
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

std::string_view NameLookup::nameOf(const Target& target) const {
  return target.kind == Target::Kind::Callable ? analysis_->scopeName(target.scope) : analysis_->row(target.row).name;
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
  std::sort(out.begin(), out.end(), [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
  out.erase(std::unique(out.begin(), out.end(),
                        [](const Occurrence& a, const Occurrence& b) { return a.start == b.start; }),
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
  indexPlaces();
  std::set<int32_t> seen(rows.begin(), rows.end());
  for (size_t i = 0; i < rows.size(); ++i) {
    for (const Occurrence& o : rowOccurrences(rows[i])) {
      const auto line = static_cast<size_t>(o.start.line);
      for (uint32_t k = lineStart_[line]; k < lineStart_[line + 1]; ++k) {
        const Occurrence& other = byPlace_[k];
        if (other.start.column == o.start.column && seen.insert(other.row).second) rows.push_back(other.row);
      }
    }
  }
  return rows;
}

int32_t NameLookup::lineCountOf(const Target& target) const {
  std::set<int32_t> lines;
  for (const Occurrence& o : occurrencesOf(target)) lines.insert(o.start.line);
  return static_cast<int32_t>(lines.size());
}

}  // namespace vennik::language
