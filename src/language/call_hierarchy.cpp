#include "language/call_hierarchy.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "language/scope_words.h"

namespace vennik::language {

namespace {

CallHierarchyItem definitionItem(const Program& program, const Definition& d) {
  const Analysis& a = program.analysis();
  const int32_t last = std::clamp(d.endLine, d.line, a.lineCount());
  const Location name = program.locate(
      {program.names().positionOf(d.nameAt),
       {d.line, program.names().positionOf(d.nameAt).column + static_cast<int32_t>(d.name.size())}});
  Location range = program.locate({program.lineTextRange(d.line).start, program.lineTextRange(last).end});
  // A definition that runs into another file ends where its own file does.
  if (range.document != name.document) range = name;
  return {&program, std::string(d.name), std::string(definitionKindWord(d.kind)), false, range, name};
}

CallHierarchyItem mainItem(const Program& program, DocumentId document) {
  const std::string& uri = program.documentName(document);
  const int32_t lines = std::max(1, program.documentLineCount(document));
  const Location range{document, {{1, 0}, {lines, static_cast<int32_t>(program.lineText(document, lines).size())}}};
  return {&program, uri.substr(uri.rfind('/') + 1), "main program", true, range, {document, {{1, 0}, {1, 0}}}};
}

// The definition a line of the analysis is in: the header of its scope that
// the line follows.
const Definition* definitionAt(const Analysis& a, int32_t line) {
  const int32_t scope = a.scopeAtLine(line);
  if (scope <= Analysis::kMainScope) return nullptr;
  const Definition* found = nullptr;
  for (const Definition& d : a.definitions()) {
    if (d.scope == scope && d.line <= line) found = &d;
  }
  return found;
}

bool hasName(const Definition& d) { return d.scope >= 0 && !d.name.empty() && d.nameAt.line >= 1; }

// Inside a FUNCTION, its name without a bracket after it is the value it
// gives back, not a call.
bool isOwnValue(const Analysis& a, const Occurrence& o, int32_t scope) {
  if (a.scopeAtLine(o.start.line) != scope) return false;
  const Definition* d = firstDefinition(a, scope);
  if (!d || (d->kind != DefinitionKind::Function && d->kind != DefinitionKind::CFunction)) return false;
  const std::string_view line = a.rawLine(o.start.line);
  size_t i = static_cast<size_t>(o.start.column + o.length);
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return i >= line.size() || line[i] != '(';
}

// The callable the key names in a program: its scope, or -1.
int32_t callableOf(const Program& program, const CallHierarchyKey& key) {
  const auto document = program.findDocument(key.document);
  if (!document || key.mainProgram) return -1;
  const Occurrence* at = program.nameAt(*document, key.selection);
  if (!at) return -1;
  const Target target = program.names().targetOf(at->row);
  return target.kind == Target::Kind::Callable ? target.scope : -1;
}

using ItemId = std::tuple<std::string, Position, bool>;

// Calls gathered over the programs, each item once and each place once.
struct Gathered {
  std::map<ItemId, HierarchyCall> calls;

  void add(const CallHierarchyItem& item, const Range& place) {
    const ItemId id{item.program->documentName(item.selection.document), item.selection.range.start, item.mainProgram};
    auto [it, added] = calls.try_emplace(id, HierarchyCall{item, {}});
    it->second.places.push_back(place);
  }
  std::vector<HierarchyCall> list() {
    std::vector<HierarchyCall> out;
    for (auto& [id, call] : calls) {
      auto& places = call.places;
      std::sort(places.begin(), places.end(), [](const Range& x, const Range& y) { return x.start < y.start; });
      places.erase(std::unique(places.begin(), places.end()), places.end());
      out.push_back(std::move(call));
    }
    return out;
  }
};

}  // namespace

std::optional<CallHierarchyItem> prepareCallHierarchy(const Program& program, DocumentId document, Position p) {
  const Occurrence* at = program.nameAt(document, p);
  if (!at) return std::nullopt;
  const Target target = program.names().targetOf(at->row);
  if (target.kind != Target::Kind::Callable) return std::nullopt;
  const Analysis& a = program.analysis();
  // The header the name leads to: the one it stands on, else the first.
  const Definition* chosen = nullptr;
  for (const Definition& d : a.definitions()) {
    if (d.scope != target.scope || !hasName(d)) continue;
    if (!chosen || d.line == at->start.line) chosen = &d;
  }
  if (!chosen) return std::nullopt;
  return definitionItem(program, *chosen);
}

std::vector<HierarchyCall> incomingCalls(const std::vector<const Program*>& programs, const CallHierarchyKey& item) {
  Gathered gathered;
  for (const Program* program : programs) {
    const int32_t scope = callableOf(*program, item);
    if (scope < 0) continue;
    const NameLookup& names = program->names();
    const Target target{Target::Kind::Callable, -1, scope};
    const auto headers = names.declarationsOf(target);
    const Analysis& a = program->analysis();
    for (const Occurrence& o : names.occurrencesOf(target)) {
      if (std::any_of(headers.begin(), headers.end(), [&](const Occurrence& h) { return h.start == o.start; })) continue;
      if (isOwnValue(a, o, scope)) continue;
      const Location place = program->locate(o.range());
      const Definition* caller = definitionAt(a, o.start.line);
      if (caller && hasName(*caller)) {
        const CallHierarchyItem from = definitionItem(*program, *caller);
        if (from.selection.document == place.document) gathered.add(from, place.range);
      } else if (!caller) {
        gathered.add(mainItem(*program, place.document), place.range);
      }
    }
  }
  return gathered.list();
}

std::vector<HierarchyCall> outgoingCalls(const std::vector<const Program*>& programs, const CallHierarchyKey& item) {
  Gathered gathered;
  for (const Program* program : programs) {
    const auto document = program->findDocument(item.document);
    if (!document) continue;
    const Analysis& a = program->analysis();
    const NameLookup& names = program->names();
    // The lines of the analysis the item covers.
    std::vector<std::pair<int32_t, int32_t>> spans;
    if (item.mainProgram) {
      spans.emplace_back(1, a.lineCount());
    } else {
      const int32_t scope = callableOf(*program, item);
      for (const Definition& d : a.definitions()) {
        if (d.scope == scope && scope >= 0 && hasName(d)) spans.emplace_back(d.line, std::min(d.endLine, a.lineCount()));
      }
    }
    for (const auto& [begin, end] : spans) {
      for (int32_t line = begin; line <= end; ++line) {
        if (item.mainProgram && a.scopeAtLine(line) != Analysis::kMainScope) continue;
        const auto places = names.onLine(line);
        if (places.empty()) continue;
        const Location lineAt = program->locate({{line, 0}, {line, 0}});
        if (lineAt.document != *document) continue;
        for (const Occurrence& o : places) {
          const Target target = names.targetOf(o.row);
          if (target.kind != Target::Kind::Callable || isOwnValue(a, o, target.scope)) continue;
          const Definition* callee = nullptr;
          for (const Definition& d : a.definitions()) {
            if (d.scope == target.scope && hasName(d)) {
              callee = &d;
              break;
            }
          }
          // A header names itself, not a call.
          if (!callee || (callee->line == line && names.positionOf(callee->nameAt) == o.start)) continue;
          gathered.add(definitionItem(*program, *callee), program->locate(o.range()).range);
        }
      }
    }
  }
  return gathered.list();
}

}  // namespace vennik::language
