#include "lsp/messages.h"

#include <cstdio>
#include <limits>
#include <map>

#include "analysis/includes/include_paths.h"
#include "lsp/feature_messages.h"
#include "lsp/file_uri.h"

namespace vennik::lsp {

namespace {

// Reading fields, with a clear error naming the one at fault.

[[noreturn]] void invalid(std::string_view where, std::string_view key, std::string_view what) {
  std::string path(where);
  if (!key.empty()) path += (path.empty() ? "" : ".") + std::string(key);
  throw RequestError{ErrorCode::InvalidParams, path + " " + std::string(what)};
}

const json& member(const json& object, std::string_view key, std::string_view where) {
  if (!object.is_object()) invalid(where, "", "must be an object");
  auto it = object.find(key);
  if (it == object.end()) invalid(where, key, "is missing");
  return *it;
}

const json* optionalMember(const json& object, std::string_view key, std::string_view where) {
  if (!object.is_object()) invalid(where, "", "must be an object");
  auto it = object.find(key);
  return it == object.end() || it->is_null() ? nullptr : &*it;
}

const std::string& stringMember(const json& object, std::string_view key, std::string_view where) {
  const json& v = member(object, key, where);
  if (!v.is_string()) invalid(where, key, "must be a string");
  return v.get_ref<const std::string&>();
}

int32_t intMember(const json& object, std::string_view key, std::string_view where) {
  const json& v = member(object, key, where);
  if (!v.is_number_integer() || v.get<int64_t>() < std::numeric_limits<int32_t>::min() ||
      v.get<int64_t>() > std::numeric_limits<int32_t>::max()) {
    invalid(where, key, "must be an integer");
  }
  return v.get<int32_t>();
}

uint32_t unsignedMember(const json& object, std::string_view key, std::string_view where) {
  const json& v = member(object, key, where);
  if (!v.is_number_integer() || v.get<int64_t>() < 0 || v.get<int64_t>() > std::numeric_limits<uint32_t>::max()) {
    invalid(where, key, "must be a non-negative integer");
  }
  return v.get<uint32_t>();
}

bool boolMember(const json& object, std::string_view key, std::string_view where, bool fallback) {
  const json* v = optionalMember(object, key, where);
  if (!v) return fallback;
  if (!v->is_boolean()) invalid(where, key, "must be true or false");
  return v->get<bool>();
}

Position positionFrom(const json& value, std::string_view where) {
  if (!value.is_object()) invalid(where, "", "must be an object");
  return {unsignedMember(value, "line", where), unsignedMember(value, "character", where)};
}

Range rangeFrom(const json& value, std::string_view where) {
  const std::string w(where);
  return {positionFrom(member(value, "start", where), w + ".start"), positionFrom(member(value, "end", where), w + ".end")};
}

// A value deep in the client's capabilities; anything malformed on the way
// reads as absent.
const json* capability(const json& params, std::initializer_list<const char*> path) {
  const json* at = &params;
  for (const char* key : path) {
    if (!at->is_object()) return nullptr;
    auto it = at->find(key);
    if (it == at->end()) return nullptr;
    at = &*it;
  }
  return at;
}

KeywordsSetting keywordsSetting(const json* value) {
  KeywordsSetting out;
  if (value == nullptr || value->is_null()) return out;
  out.present = true;
  if (value->is_string()) out.choice = value->get<std::string>();
  return out;
}

// Building replies.

json locations(const std::vector<language::Location>& places, const PositionConverter& at) {
  json out = json::array();
  for (const language::Location& l : places) out.push_back(toJson(l, at));
  return out;
}

CompletionItemKind completionKind(language::CompletionKind kind) {
  switch (kind) {
    case language::CompletionKind::Function: return CompletionItemKind::Function;
    // The protocol has no kind of its own for a SUB: a FUNCTION's, with
    // "sub" as its detail.
    case language::CompletionKind::Sub: return CompletionItemKind::Function;
    case language::CompletionKind::Variable: return CompletionItemKind::Variable;
    case language::CompletionKind::Constant: return CompletionItemKind::Constant;
    case language::CompletionKind::Label: return CompletionItemKind::Reference;
    case language::CompletionKind::Keyword: return CompletionItemKind::Keyword;
  }
  return CompletionItemKind::Variable;
}

DiagnosticSeverity severity(language::Severity s) {
  switch (s) {
    case language::Severity::Error: return DiagnosticSeverity::Error;
    case language::Severity::Warning: return DiagnosticSeverity::Warning;
    case language::Severity::Information: return DiagnosticSeverity::Information;
  }
  return DiagnosticSeverity::Information;
}

json symbolJson(const language::Symbol& s, language::DocumentId document, const PositionConverter& at) {
  json out{{"name", s.name},
           {"detail", s.detail},
           {"kind", symbolKind(s.kind)},
           {"range", toJson(at.toProtocol(document, s.range))},
           {"selectionRange", toJson(at.toProtocol(document, s.selection))}};
  if (!s.children.empty()) {
    json kids = json::array();
    for (const language::Symbol& c : s.children) kids.push_back(symbolJson(c, document, at));
    out["children"] = std::move(kids);
  }
  return out;
}

}  // namespace

SymbolKind symbolKind(language::SymbolKind kind) {
  switch (kind) {
    case language::SymbolKind::Function: return SymbolKind::Function;
    case language::SymbolKind::Variable: return SymbolKind::Variable;
    case language::SymbolKind::Constant: return SymbolKind::Constant;
    case language::SymbolKind::Label: return SymbolKind::Key;
    case language::SymbolKind::Font: return SymbolKind::Struct;
  }
  return SymbolKind::Variable;
}

json toJson(Position p) { return json{{"line", p.line}, {"character", p.character}}; }

json toJson(const Range& r) { return json{{"start", toJson(r.start)}, {"end", toJson(r.end)}}; }

json toJson(const language::Location& l, const PositionConverter& at) {
  return json{{"uri", at.uri(l.document)}, {"range", toJson(at.toProtocol(l.document, l.range))}};
}

InitializeParams readInitializeParams(const json& params) {
  InitializeParams out;
  if (const json* offered = capability(params, {"capabilities", "general", "positionEncodings"});
      offered && offered->is_array()) {
    for (const json& v : *offered) {
      if (v.is_string()) out.positionEncodings.push_back(v.get<std::string>());
    }
  }
  const json* prepare = capability(params, {"capabilities", "textDocument", "rename", "prepareSupport"});
  out.prepareRenameSupport = prepare && prepare->is_boolean() && prepare->get<bool>();
  out.keywords = keywordsSetting(capability(params, {"initializationOptions", "keywords"}));
  out.reading = keywordsSetting(capability(params, {"initializationOptions", "reading"}));
  if (const json* folders = capability(params, {"workspaceFolders"}); folders && folders->is_array()) {
    for (const json& f : *folders) {
      const json* uri = capability(f, {"uri"});
      if (uri && uri->is_string()) out.workspaceFolders.push_back(uri->get<std::string>());
    }
  } else if (const json* root = capability(params, {"rootUri"}); root && root->is_string()) {
    out.workspaceFolders.push_back(root->get<std::string>());
  } else if (const json* path = capability(params, {"rootPath"}); path && path->is_string() &&
                                                                    isAbsolutePath(path->get_ref<const std::string&>())) {
    out.workspaceFolders.push_back(fileUriOfPath(path->get<std::string>()));
  }
  const json* watch = capability(params, {"capabilities", "workspace", "didChangeWatchedFiles", "dynamicRegistration"});
  out.watchedFilesRegistration = watch && watch->is_boolean() && watch->get<bool>();
  const json* refresh = capability(params, {"capabilities", "workspace", "semanticTokens", "refreshSupport"});
  out.semanticTokensRefresh = refresh && refresh->is_boolean() && refresh->get<bool>();
  return out;
}

std::vector<FileChange> readWatchedFileChanges(const json& params) {
  const json& changes = member(params, "changes", "params");
  if (!changes.is_array()) invalid("params", "changes", "must be an array");
  std::vector<FileChange> out;
  for (const json& c : changes) {
    // FileChangeType: 1 created, 2 changed, 3 deleted.
    out.push_back({stringMember(c, "uri", "params.changes[]"), intMember(c, "type", "params.changes[]") != 2});
  }
  return out;
}

FolderChanges readWorkspaceFoldersChange(const json& params) {
  const json& event = member(params, "event", "params");
  FolderChanges out;
  for (const auto& [key, list] : {std::pair{"added", &out.added}, std::pair{"removed", &out.removed}}) {
    const json& folders = member(event, key, "params.event");
    if (!folders.is_array()) invalid("params.event", key, "must be an array");
    for (const json& f : folders) list->push_back(stringMember(f, "uri", std::string("params.event.") + key + "[]"));
  }
  return out;
}

KeywordsSetting readConfigurationKeywords(const json& params) {
  if (const json* nested = capability(params, {"settings", "vennikplus", "keywords"})) return keywordsSetting(nested);
  return keywordsSetting(capability(params, {"settings", "vennikplus.keywords"}));
}

KeywordsSetting readConfigurationReading(const json& params) {
  if (const json* nested = capability(params, {"settings", "vennikplus", "reading"})) return keywordsSetting(nested);
  return keywordsSetting(capability(params, {"settings", "vennikplus.reading"}));
}

DocumentParams readDocumentParams(const json& params) {
  return {stringMember(member(params, "textDocument", "params"), "uri", "params.textDocument")};
}

PositionParams readPositionParams(const json& params) {
  PositionParams out;
  out.uri = readDocumentParams(params).uri;
  out.position = positionFrom(member(params, "position", "params"), "params.position");
  return out;
}

ReferencesParams readReferencesParams(const json& params) {
  ReferencesParams out{readPositionParams(params)};
  if (const json* context = optionalMember(params, "context", "params")) {
    out.includeDeclaration = boolMember(*context, "includeDeclaration", "params.context", true);
  }
  return out;
}

RenameParams readRenameParams(const json& params) {
  RenameParams out;
  out.newName = stringMember(params, "newName", "params");
  out.at = readPositionParams(params);
  return out;
}

DidOpenParams readDidOpenParams(json& params) {
  const json& item = member(params, "textDocument", "params");
  DidOpenParams out;
  out.uri = stringMember(item, "uri", "params.textDocument");
  out.version = intMember(item, "version", "params.textDocument");
  stringMember(item, "text", "params.textDocument");
  out.text = std::move(params["textDocument"]["text"].get_ref<std::string&>());
  return out;
}

DidChangeParams readDidChangeParams(json& params) {
  const json& id = member(params, "textDocument", "params");
  DidChangeParams out;
  out.uri = stringMember(id, "uri", "params.textDocument");
  out.version = intMember(id, "version", "params.textDocument");
  member(params, "contentChanges", "params");
  json& list = params["contentChanges"];
  if (!list.is_array()) invalid("params", "contentChanges", "must be an array");
  for (json& c : list) {
    ContentChange change;
    stringMember(c, "text", "params.contentChanges[]");
    if (const json* range = optionalMember(c, "range", "params.contentChanges[]")) {
      change.range = rangeFrom(*range, "params.contentChanges[].range");
    }
    change.text = std::move(c["text"].get_ref<std::string&>());
    out.changes.push_back(std::move(change));
  }
  return out;
}

json initializeResult(PositionEncoding encoding, bool prepareRenameSupport) {
  json renameProvider = prepareRenameSupport ? json{{"prepareProvider", true}} : json(true);
  json result{
      {"capabilities",
       {{"positionEncoding", encodingName(encoding)},
        {"textDocumentSync", {{"openClose", true}, {"change", TextDocumentSyncKind::Incremental}, {"save", {{"includeText", false}}}}},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"documentSymbolProvider", true},
        {"hoverProvider", true},
        {"renameProvider", renameProvider},
        {"completionProvider", {{"resolveProvider", false}}},
        {"workspace", {{"workspaceFolders", {{"supported", true}, {"changeNotifications", true}}}}}}},
      {"serverInfo", {{"name", "vennikplus"}, {"version", VENNIK_VERSION}}}};
  result["capabilities"].update(featureCapabilities());
  return result;
}

json definitionResult(const std::vector<language::Location>& places, const PositionConverter& at) {
  if (places.empty()) return nullptr;
  return locations(places, at);
}

namespace {
json placeJson(const language::PlacesAcross& found, const language::PlacesAcross::Place& place, PositionEncoding encoding) {
  const PositionConverter at(*found.programs[place.program], encoding);
  return toJson(place.location, at);
}
}  // namespace

json referencesResult(const language::PlacesAcross& found, PositionEncoding encoding) {
  if (found.programs.empty()) return nullptr;
  json out = json::array();
  for (const auto& place : found.places) out.push_back(placeJson(found, place, encoding));
  return out;
}

json renameResult(const language::PlacesAcross& found, const std::string& newName, PositionEncoding encoding) {
  if (!found.refusal.empty()) throw RequestError{ErrorCode::RequestFailed, found.refusal};
  json changes = json::object();
  for (const auto& place : found.places) {
    json location = placeJson(found, place, encoding);
    json& edits = changes[location["uri"].get<std::string>()];
    if (edits.is_null()) edits = json::array();
    edits.push_back(json{{"range", std::move(location["range"])}, {"newText", newName}});
  }
  return json{{"changes", std::move(changes)}};
}

json hoverResult(const std::optional<language::HoverText>& hover, const PositionConverter& at) {
  if (!hover) return nullptr;
  return json{{"contents", {{"kind", "markdown"}, {"value", hover->markdown}}},
              {"range", toJson(at.toProtocol(hover->location.document, hover->location.range))}};
}

json prepareRenameResult(const std::optional<language::RenameStart>& start, const PositionConverter& at) {
  if (!start) return nullptr;
  return json{{"range", toJson(at.toProtocol(start->location.document, start->location.range))},
              {"placeholder", start->text}};
}

json documentSymbolResult(const std::vector<language::Symbol>& symbols, language::DocumentId document,
                          const PositionConverter& at) {
  json out = json::array();
  for (const language::Symbol& s : symbols) out.push_back(symbolJson(s, document, at));
  return out;
}

json completionResult(const std::vector<language::CompletionItem>& items, const Range& typed) {
  json list = json::array();
  const json replaced = toJson(typed);
  for (const language::CompletionItem& item : items) {
    // The clients sort by sortText: keep this order, groups first.
    char order[16];
    std::snprintf(order, sizeof order, "%07zu", list.size());
    list.push_back(json{{"label", item.label},
                        {"kind", completionKind(item.kind)},
                        {"detail", item.detail},
                        {"sortText", order},
                        {"textEdit", {{"range", replaced}, {"newText", item.label}}}});
  }
  return json{{"isIncomplete", false}, {"items", std::move(list)}};
}

json publishDiagnosticsParams(language::DocumentId document, int32_t version,
                              const std::vector<language::Diagnostic>& diagnostics, const PositionConverter& at) {
  json list = json::array();
  for (const language::Diagnostic& d : diagnostics) {
    list.push_back(json{{"range", toJson(at.toProtocol(document, d.range))},
                        {"severity", severity(d.severity)},
                        {"code", d.code},
                        {"source", "vennikplus"},
                        {"message", d.message}});
  }
  return json{{"uri", at.uri(document)}, {"version", version}, {"diagnostics", std::move(list)}};
}

json errorResponse(const json& id, ErrorCode code, std::string_view message) {
  return json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

json showErrorParams(const std::string& message) { return json{{"type", MessageType::Error}, {"message", message}}; }

json logMessageParams(MessageType type, const std::string& message) {
  return json{{"type", type}, {"message", message}};
}

json watchedFilesRegistrationParams() {
  const json watchers = json::array({{{"globPattern", "**/*.{[bB][aA][sS],[iI][nN][cC]}"}}});
  return json{{"registrations", json::array({{{"id", "vennikplus-sources"},
                                               {"method", "workspace/didChangeWatchedFiles"},
                                               {"registerOptions", {{"watchers", watchers}}}}})}};
}

json clearDiagnosticsParams(const std::string& uri) {
  return json{{"uri", uri}, {"diagnostics", json::array()}};
}

}  // namespace vennik::lsp
