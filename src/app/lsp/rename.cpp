#include "rename.h"

#include <algorithm>

#include "params.h"
#include "places.h"

namespace vennik::lsp {

namespace {

bool wellFormed(std::string_view name) {
  if (name.empty()) return false;
  const char first = name.front();
  if (!((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z') || first == '_')) return false;
  return std::all_of(name.begin(), name.end(), isNameChar);
}

// Words that are no keywords but change how the analysis reads a line
// (the word after them skipped, alignment codes dropped), and those codes:
// a name spelled like one would not be read where it stands.
bool changesTheLine(const KeywordTable& keywords, const std::string& folded) {
  const WordInfo* info = keywords.find(folded, wordHash(folded));
  return info && (info->skipNext || info->textWord || info->alignment || info->declaration);
}

std::string scopeWords(const Analysis& a, int32_t scope) {
  if (scope == Analysis::kGlobalScope) return "the global names";
  if (scope == Analysis::kMainScope) return "the main program";
  return std::string(a.scopeName(scope));
}

std::string textAt(const Analysis& a, const Occurrence& o) {
  const std::string_view raw = a.rawLine(o.line);
  const size_t at = byteOffsetAt(raw, static_cast<uint32_t>(o.column), PositionEncoding::Utf16);
  return std::string(raw.substr(at, static_cast<size_t>(o.length)));
}

std::string targetName(const NameLookup& index, const Target& t) {
  return std::string(t.kind == Target::Kind::Callable ? index.analysis().scopeName(t.scope)
                                                      : index.analysis().row(t.row).name);
}

}  // namespace

std::string renameRefusal(const NameLookup& index, const KeywordTable& keywords, const std::vector<int32_t>& rows,
                          std::string_view oldName, std::string_view newName) {
  const std::string quoted = "'" + std::string(newName) + "'";
  if (!wellFormed(newName)) {
    return quoted + " is not a name: a name starts with a letter or _ and holds only letters, digits and . _ # @ $ & % !";
  }
  const std::string folded = foldCase(newName);
  if (keywords.isKeyword(folded)) return quoted + " is a keyword";
  if (changesTheLine(keywords, folded)) return quoted + " changes how the analysis reads the words near it";
  if (folded == foldCase(oldName)) return {};  // a change of case only

  const Analysis& a = index.analysis();
  if (index.callableScope(newName) >= 0) return quoted + " is already the name of a SUB or FUNCTION";
  auto clash = [&](int32_t scope) -> std::string {
    const int32_t found = a.findRow(scope, newName);
    if (found < 0 || std::find(rows.begin(), rows.end(), found) != rows.end()) return {};
    return quoted + " is already used in " + scopeWords(a, scope);
  };
  if (auto why = clash(Analysis::kGlobalScope); !why.empty()) return why;
  std::vector<int32_t> scopes;
  for (int32_t r : rows) {
    scopes.push_back(a.row(r).scope);
    for (const Occurrence& o : index.rowOccurrences(r)) scopes.push_back(a.scopeAtLine(o.line));
  }
  std::sort(scopes.begin(), scopes.end());
  scopes.erase(std::unique(scopes.begin(), scopes.end()), scopes.end());
  for (int32_t scope : scopes) {
    if (auto why = clash(scope); !why.empty()) return why;
  }
  return {};
}

json prepareRename(const Workspace& ws, const json& params) {
  const NameAtPosition at = nameAtPosition(ws, params);
  if (!at.occurrence) return nullptr;
  const Analysis& a = at.analysed->analysis;
  return json{{"range", toJson(rangeOf(a, *at.occurrence, ws.encoding()))}, {"placeholder", textAt(a, *at.occurrence)}};
}

json rename(const Workspace& ws, const json& params) {
  const std::string newName = stringMember(params, "newName", "params");
  const NameAtPosition at = nameAtPosition(ws, params);
  if (!at.document) throw RequestError{error_code::kRequestFailed, "the document is not open"};
  if (!at.occurrence) throw RequestError{error_code::kRequestFailed, "there is no name of the program here to rename"};

  const NameLookup& index = at.analysed->index;
  const Analysis& a = at.analysed->analysis;
  // Rows that share a place change together, or the edit would leave one of
  // them half renamed.
  const std::vector<int32_t> rows = index.withRowsSharingPlaces(index.rowsOf(at.target));
  const std::string oldName = targetName(index, at.target);
  if (auto why = renameRefusal(index, *ws.config().keywords, rows, oldName, newName); !why.empty()) {
    throw RequestError{error_code::kRequestFailed, "Cannot rename '" + oldName + "': " + why};
  }

  const std::vector<Occurrence> places = index.occurrencesOf(at.target, rows);
  json edits = json::array();
  for (const Occurrence& o : places) {
    edits.push_back(json{{"range", toJson(rangeOf(a, o, ws.encoding()))}, {"newText", newName}});
  }
  return json{{"changes", json{{at.document->uri, std::move(edits)}}}};
}

}  // namespace vennik::lsp
