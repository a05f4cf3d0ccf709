#include "language/name_roles.h"

#include <algorithm>

#include "language/line_words.h"

namespace vennik::language {

bool definesLabel(std::string_view line, const Occurrence& place) {
  const auto end = static_cast<size_t>(place.start.column + place.length);
  if (end >= line.size() || line[end] != ':') return false;
  for (size_t i = 0; i < static_cast<size_t>(place.start.column); ++i) {
    if (line[i] != ' ' && line[i] != '\t') return false;
  }
  return true;
}

NameRoles::NameRoles(const NameLookup& names) : names_(names) {
  const Analysis& a = names.analysis();
  headerLines_.resize(static_cast<size_t>(a.scopeCount()));
  for (const Definition& d : a.definitions()) {
    if (d.scope >= 0) headerLines_[static_cast<size_t>(d.scope)].push_back(d.line);
  }
  known_.assign(static_cast<size_t>(a.rowCount()), 0);
  facts_.resize(static_cast<size_t>(a.rowCount()));
}

NameFacts NameRoles::of(int32_t row) {
  const auto r = static_cast<size_t>(row);
  if (!known_[r]) {
    facts_[r] = work(row);
    known_[r] = 1;
  }
  return facts_[r];
}

NameFacts NameRoles::work(int32_t r) const {
  const Analysis& a = names_.analysis();
  const RowView row = a.row(r);
  NameFacts facts;
  facts.global = row.scope == Analysis::kGlobalScope;
  facts.undeclared = row.kind == RowKind::Undeclared;
  if (row.kind == RowKind::Label) {
    facts.role = NameRole::Label;
    return facts;
  }
  if (names_.targetOf(r).kind == Target::Kind::Callable) {
    facts.role = NameRole::Callable;
    facts.global = false;
    return facts;
  }
  if (row.references.empty()) return facts;
  const Reference first = row.references.front();
  if (first.line < 1 || first.line > a.lineCount()) return facts;
  if (row.kind == RowKind::Declared && row.scope > Analysis::kMainScope) {
    const auto& headers = headerLines_[static_cast<size_t>(row.scope)];
    if (std::find(headers.begin(), headers.end(), first.line) != headers.end()) {
      facts.role = NameRole::Parameter;
      return facts;
    }
  }
  // Created by a CONST statement.
  const std::string_view line = a.rawLine(first.line);
  const auto before = statementBefore(line, static_cast<uint32_t>(names_.positionOf(first).column),
                                      a.reading() == Reading::Firmware);
  if (!before.empty() && pieceIs(line, before.front(), "const")) facts.role = NameRole::Constant;
  return facts;
}

}  // namespace vennik::language
