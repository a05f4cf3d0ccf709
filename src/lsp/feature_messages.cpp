#include "lsp/feature_messages.h"

#include <algorithm>
#include <charconv>

#include "base/utf8_text.h"

namespace vennik::lsp {

namespace {

// The legend, in the order of language::TokenType and the modifier bits.
// Types the protocol names keep their names; label and constant are this
// server's own, which an editor's theme can colour by name.
const char* const kTokenTypes[language::kTokenTypeCount] = {"variable", "parameter", "function",
                                                            "label",    "constant",  "keyword"};
const char* const kTokenModifiers[language::kTokenModifierCount] = {"declaration", "global", "undeclared"};

enum class DocumentHighlightKind : int { Text = 1, Read = 2, Write = 3 };
enum class FoldingRangeKind { Comment, Region };

// A JSON array of numbers, written at once.
void appendNumbers(std::string& out, std::vector<uint32_t>::const_iterator begin,
                   std::vector<uint32_t>::const_iterator end) {
  out += '[';
  char digits[16];
  for (auto it = begin; it != end; ++it) {
    if (it != begin) out += ',';
    const auto written = std::to_chars(digits, digits + sizeof digits, *it);
    out.append(digits, written.ptr);
  }
  out += ']';
}

[[noreturn]] void invalid(const std::string& what) { throw RequestError{ErrorCode::InvalidParams, what}; }

const json& objectMember(const json& object, const char* key, const std::string& where) {
  if (!object.is_object()) invalid(where + " must be an object");
  auto it = object.find(key);
  if (it == object.end()) invalid(where + "." + key + " is missing");
  return *it;
}

const std::string& stringMember(const json& object, const char* key, const std::string& where) {
  const json& v = objectMember(object, key, where);
  if (!v.is_string()) invalid(where + "." + key + " must be a string");
  return v.get_ref<const std::string&>();
}

uint32_t unsignedMember(const json& object, const char* key, const std::string& where) {
  const json& v = objectMember(object, key, where);
  if (!v.is_number_integer() || v.get<int64_t>() < 0 || v.get<int64_t>() > UINT32_MAX) {
    invalid(where + "." + key + " must be a non-negative integer");
  }
  return v.get<uint32_t>();
}

Position positionMember(const json& object, const char* key, const std::string& where) {
  const json& p = objectMember(object, key, where);
  const std::string at = where + "." + key;
  return {unsignedMember(p, "line", at), unsignedMember(p, "character", at)};
}

json locationJson(const language::Location& l, const language::Program& program, PositionEncoding encoding) {
  return toJson(l, PositionConverter(program, encoding));
}

}  // namespace

json featureCapabilities() {
  return json{
      {"semanticTokensProvider",
       {{"legend", {{"tokenTypes", kTokenTypes}, {"tokenModifiers", kTokenModifiers}}},
        {"full", {{"delta", true}}},
        {"range", false}}},
      {"callHierarchyProvider", true},
      {"foldingRangeProvider", true},
      {"signatureHelpProvider", {{"triggerCharacters", {"(", ",", " "}}}},
      {"documentHighlightProvider", true},
      {"workspaceSymbolProvider", true},
      {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
  };
}

SemanticTokensDeltaParams readSemanticTokensDeltaParams(const json& params) {
  return {stringMember(objectMember(params, "textDocument", "params"), "uri", "params.textDocument"),
          stringMember(params, "previousResultId", "params")};
}

CallHierarchyItemParams readCallHierarchyItemParams(const json& params) {
  const json& item = objectMember(params, "item", "params");
  CallHierarchyItemParams out;
  out.uri = stringMember(item, "uri", "params.item");
  out.selection = positionMember(objectMember(item, "selectionRange", "params.item"), "start",
                                 "params.item.selectionRange");
  const json& kind = objectMember(item, "kind", "params.item");
  out.mainProgram = kind.is_number_integer() && kind.get<int64_t>() == static_cast<int>(SymbolKind::File);
  return out;
}

WorkspaceSymbolParams readWorkspaceSymbolParams(const json& params) {
  return {stringMember(params, "query", "params")};
}

CodeActionParams readCodeActionParams(const json& params) {
  CodeActionParams out;
  out.uri = stringMember(objectMember(params, "textDocument", "params"), "uri", "params.textDocument");
  const json& range = objectMember(params, "range", "params");
  out.range = {positionMember(range, "start", "params.range"), positionMember(range, "end", "params.range")};
  if (const json* context = params.contains("context") ? &params["context"] : nullptr; context && context->is_object()) {
    if (auto d = context->find("diagnostics"); d != context->end() && d->is_array()) out.diagnostics = *d;
    if (auto only = context->find("only"); only != context->end() && only->is_array()) {
      out.quickFixWanted = std::any_of(only->begin(), only->end(), [](const json& kind) {
        return kind.is_string() && std::string_view("quickfix").starts_with(kind.get_ref<const std::string&>());
      });
    }
  }
  return out;
}

std::vector<uint32_t> packSemanticTokens(const std::vector<language::SemanticToken>& tokens,
                                         language::DocumentId document, const PositionConverter& at) {
  std::vector<uint32_t> data;
  data.reserve(tokens.size() * 5);
  uint32_t line = 0, start = 0;
  // Most lines are ASCII, whose columns are their bytes in every encoding.
  int32_t lineSeen = 0;
  bool bytesAreUnits = false;
  for (const language::SemanticToken& t : tokens) {
    if (t.start.line != lineSeen) {
      lineSeen = t.start.line;
      bytesAreUnits = at.encoding() == PositionEncoding::Utf8 || isAscii(at.program().lineText(document, lineSeen));
    }
    const Range r = bytesAreUnits ? Range{{static_cast<uint32_t>(t.start.line - 1), static_cast<uint32_t>(t.start.column)},
                                          {static_cast<uint32_t>(t.start.line - 1),
                                           static_cast<uint32_t>(t.start.column + t.length)}}
                                  : at.toProtocol(document, {t.start, {t.start.line, t.start.column + t.length}});
    if (r.end.character <= r.start.character) continue;
    const uint32_t deltaLine = r.start.line - line;
    data.insert(data.end(), {deltaLine, deltaLine == 0 ? r.start.character - start : r.start.character,
                             r.end.character - r.start.character, static_cast<uint32_t>(t.type), t.modifiers});
    line = r.start.line;
    start = r.start.character;
  }
  return data;
}

std::string semanticTokensText(const std::string& resultId, const std::vector<uint32_t>& data) {
  std::string out;
  out.reserve(40 + data.size() * 3);
  out += R"({"resultId":)";
  out += json(resultId).dump();
  out += R"(,"data":)";
  appendNumbers(out, data.begin(), data.end());
  out += '}';
  return out;
}

std::string semanticTokensDeltaText(const std::string& resultId, const std::vector<uint32_t>& before,
                                    const std::vector<uint32_t>& data) {
  // One edit between what the two share at either end, whole tokens only.
  size_t head = 0;
  while (head < before.size() && head < data.size() && before[head] == data[head]) ++head;
  head -= head % 5;
  size_t tail = 0;
  while (tail + head < before.size() && tail + head < data.size() &&
         before[before.size() - 1 - tail] == data[data.size() - 1 - tail]) {
    ++tail;
  }
  tail -= tail % 5;
  std::string out = R"({"resultId":)" + json(resultId).dump() + R"(,"edits":[)";
  if (head + tail != before.size() || head + tail != data.size()) {
    out += R"({"start":)" + std::to_string(head) + R"(,"deleteCount":)" +
           std::to_string(before.size() - head - tail) + R"(,"data":)";
    appendNumbers(out, data.begin() + static_cast<std::ptrdiff_t>(head), data.end() - static_cast<std::ptrdiff_t>(tail));
    out += '}';
  }
  out += "]}";
  return out;
}

json callHierarchyItemJson(const language::CallHierarchyItem& item, PositionEncoding encoding) {
  const PositionConverter at(*item.program, encoding);
  return json{{"name", item.name},
              {"kind", item.mainProgram ? SymbolKind::File : SymbolKind::Function},
              {"detail", item.detail},
              {"uri", at.uri(item.range.document)},
              {"range", toJson(at.toProtocol(item.range.document, item.range.range))},
              {"selectionRange", toJson(at.toProtocol(item.selection.document, item.selection.range))}};
}

json hierarchyCallsResult(const std::vector<language::HierarchyCall>& calls, bool incoming, const std::string& itemUri,
                          PositionEncoding encoding) {
  json out = json::array();
  for (const language::HierarchyCall& call : calls) {
    const language::Program& program = *call.item.program;
    const PositionConverter at(program, encoding);
    const auto document = incoming ? std::optional(call.item.selection.document) : program.findDocument(itemUri);
    if (!document) continue;
    json ranges = json::array();
    for (const language::Range& r : call.places) ranges.push_back(toJson(at.toProtocol(*document, r)));
    out.push_back(json{{incoming ? "from" : "to", callHierarchyItemJson(call.item, encoding)},
                       {"fromRanges", std::move(ranges)}});
  }
  return out;
}

json foldingRangesResult(const std::vector<language::FoldingRange>& ranges) {
  json out = json::array();
  for (const language::FoldingRange& r : ranges) {
    json range{{"startLine", r.startLine - 1}, {"endLine", r.endLine - 1}};
    if (r.comment) range["kind"] = "comment";
    out.push_back(std::move(range));
  }
  return out;
}

json signatureHelpResult(const std::optional<language::Signature>& signature, PositionEncoding encoding) {
  if (!signature) return nullptr;
  const std::string_view label = signature->label;
  auto units = [&](int32_t bytes) { return unitCount(label.substr(0, static_cast<size_t>(bytes)), encoding); };
  json parameters = json::array();
  for (const language::SignatureParameter& p : signature->parameters) {
    parameters.push_back(json{{"label", {units(p.begin), units(p.end)}}});
  }
  return json{{"signatures", json::array({json{{"label", signature->label}, {"parameters", std::move(parameters)}}})},
              {"activeSignature", 0},
              {"activeParameter", signature->activeParameter}};
}

json documentHighlightsResult(const std::vector<language::Highlight>& highlights, language::DocumentId document,
                              const PositionConverter& at) {
  json out = json::array();
  for (const language::Highlight& h : highlights) {
    out.push_back(json{{"range", toJson(at.toProtocol(document, h.range))},
                       {"kind", h.kind == language::HighlightKind::Write ? DocumentHighlightKind::Write
                                                                        : DocumentHighlightKind::Read}});
  }
  return out;
}

json workspaceSymbolsResult(const std::vector<language::WorkspaceSymbol>& symbols, PositionEncoding encoding) {
  json out = json::array();
  for (const language::WorkspaceSymbol& s : symbols) {
    out.push_back(json{{"name", s.name},
                       {"kind", symbolKind(s.kind)},
                       {"containerName", s.container},
                       {"location", locationJson(s.location, *s.program, encoding)}});
  }
  return out;
}

json codeActionsResult(const std::vector<language::DeclareFix>& fixes, const json& diagnostics,
                       const PositionConverter& at) {
  json out = json::array();
  for (const language::DeclareFix& fix : fixes) {
    // The client's diagnostics this fix answers: the name's "undeclared" ones.
    json fixed = json::array();
    for (const json& d : diagnostics) {
      if (!d.is_object() || d.value("code", json()) != "undeclared") continue;
      const json message = d.value("message", json());
      if (message.is_string() && message.get_ref<const std::string&>().starts_with("'" + fix.name + "'")) {
        fixed.push_back(d);
      }
    }
    json edit{{"range", toJson(at.toProtocol(fix.insertAt.document, fix.insertAt.range))}, {"newText", fix.text}};
    out.push_back(json{{"title", fix.title},
                       {"kind", "quickfix"},
                       {"isPreferred", true},
                       {"diagnostics", std::move(fixed)},
                       {"edit", {{"changes", {{at.uri(fix.insertAt.document), json::array({std::move(edit)})}}}}}});
  }
  return out;
}

}  // namespace vennik::lsp
