#include "lsp/feature_requests.h"

#include <map>
#include <optional>
#include <string>

#include "lsp/feature_messages.h"

namespace vennik::lsp {

namespace {

// At most this many workspace symbols go back: a client asks again as the
// query grows.
constexpr size_t kWorkspaceSymbolLimit = 500;

struct Asked {
  const language::Program& program;
  language::DocumentId document;
  PositionConverter at;
};

std::optional<Asked> ask(Workspace& ws, const std::string& uri) {
  const OpenDocument* doc = ws.analysed(uri);
  if (!doc) return std::nullopt;
  const auto document = doc->program->findDocument(uri);
  if (!document) return std::nullopt;
  return Asked{*doc->program, *document, PositionConverter(*doc->program, ws.encoding())};
}

std::string tokensOf(Workspace& ws, const std::string& uri, const std::vector<uint32_t>* before) {
  const auto a = ask(ws, uri);
  if (!a) return "null";
  std::vector<uint32_t> data =
      packSemanticTokens(language::semanticTokens(a->program, a->document, ws.keywords()), a->document, a->at);
  SemanticTokensHistory& history = ws.tokenHistory();
  // Closed documents' tokens go.
  history.prune([&](const std::string& kept) { return ws.find(kept) != nullptr; });
  const std::string resultId = history.keep(uri, std::move(data));
  const std::vector<uint32_t>& kept = *history.sent(uri, resultId);
  return before ? semanticTokensDeltaText(resultId, *before, kept) : semanticTokensText(resultId, kept);
}

std::string semanticTokensFull(Workspace& ws, const json& params) {
  return tokensOf(ws, readDocumentParams(params).uri, nullptr);
}

std::string semanticTokensDelta(Workspace& ws, const json& params) {
  const SemanticTokensDeltaParams p = readSemanticTokensDeltaParams(params);
  const std::vector<uint32_t>* sent = ws.tokenHistory().sent(p.uri, p.previousResultId);
  if (!sent) return tokensOf(ws, p.uri, nullptr);
  // The history drops what it holds when it takes the new tokens.
  const std::vector<uint32_t> before = *sent;
  return tokensOf(ws, p.uri, &before);
}

std::vector<const language::Program*> programsOf(const std::vector<std::shared_ptr<const language::Program>>& kept) {
  std::vector<const language::Program*> out;
  for (const auto& p : kept) out.push_back(p.get());
  return out;
}

json prepareCallHierarchy(Workspace& ws, const json& params) {
  const PositionParams p = readPositionParams(params);
  const auto a = ask(ws, p.uri);
  if (!a) return nullptr;
  const auto item = language::prepareCallHierarchy(a->program, a->document, a->at.toFeatures(a->document, p.position));
  if (!item) return nullptr;
  return json::array({callHierarchyItemJson(*item, ws.encoding())});
}

json hierarchyCalls(Workspace& ws, const json& params, bool incoming) {
  const CallHierarchyItemParams p = readCallHierarchyItemParams(params);
  const auto kept = ws.knownPrograms();
  const auto programs = programsOf(kept);
  // The item's place in the features' terms, from a program that holds its
  // document (each holds its text alike).
  language::CallHierarchyKey key{p.uri, {}, p.mainProgram};
  bool found = false;
  for (const language::Program* program : programs) {
    if (auto document = program->findDocument(p.uri)) {
      key.selection = PositionConverter(*program, ws.encoding()).toFeatures(*document, p.selection);
      found = true;
      break;
    }
  }
  if (!found) return json::array();
  const auto calls = incoming ? language::incomingCalls(programs, key) : language::outgoingCalls(programs, key);
  return hierarchyCallsResult(calls, incoming, p.uri, ws.encoding());
}

json incomingCalls(Workspace& ws, const json& params) { return hierarchyCalls(ws, params, true); }
json outgoingCalls(Workspace& ws, const json& params) { return hierarchyCalls(ws, params, false); }

json foldingRange(Workspace& ws, const json& params) {
  const auto a = ask(ws, readDocumentParams(params).uri);
  if (!a) return nullptr;
  return foldingRangesResult(language::foldingRanges(a->program, a->document));
}

json signatureHelp(Workspace& ws, const json& params) {
  const PositionParams p = readPositionParams(params);
  const auto a = ask(ws, p.uri);
  if (!a) return nullptr;
  return signatureHelpResult(
      language::signatureHelp(a->program, a->document, a->at.toFeatures(a->document, p.position)), ws.encoding());
}

json documentHighlight(Workspace& ws, const json& params) {
  const PositionParams p = readPositionParams(params);
  const auto a = ask(ws, p.uri);
  if (!a) return nullptr;
  return documentHighlightsResult(
      language::documentHighlights(a->program, a->document, a->at.toFeatures(a->document, p.position)), a->document,
      a->at);
}

json workspaceSymbol(Workspace& ws, const json& params) {
  const WorkspaceSymbolParams p = readWorkspaceSymbolParams(params);
  const auto kept = ws.knownPrograms();
  return workspaceSymbolsResult(language::workspaceSymbols(programsOf(kept), p.query, kWorkspaceSymbolLimit),
                                ws.encoding());
}

json codeAction(Workspace& ws, const json& params) {
  const CodeActionParams p = readCodeActionParams(params);
  const auto a = ask(ws, p.uri);
  if (!a || !p.quickFixWanted) return json::array();
  const language::Range range{a->at.toFeatures(a->document, p.range.start), a->at.toFeatures(a->document, p.range.end)};
  return codeActionsResult(language::declareFixes(a->program, a->document, range), p.diagnostics, a->at);
}

}  // namespace

RequestHandler featureRequestHandler(std::string_view method) {
  static const std::map<std::string, RequestHandler, std::less<>> handlers = {
      {"textDocument/prepareCallHierarchy", &prepareCallHierarchy},
      {"callHierarchy/incomingCalls", &incomingCalls},
      {"callHierarchy/outgoingCalls", &outgoingCalls},
      {"textDocument/foldingRange", &foldingRange},
      {"textDocument/signatureHelp", &signatureHelp},
      {"textDocument/documentHighlight", &documentHighlight},
      {"workspace/symbol", &workspaceSymbol},
      {"textDocument/codeAction", &codeAction},
  };
  auto it = handlers.find(method);
  return it == handlers.end() ? nullptr : it->second;
}

TextRequestHandler featureTextRequestHandler(std::string_view method) {
  if (method == "textDocument/semanticTokens/full") return &semanticTokensFull;
  if (method == "textDocument/semanticTokens/full/delta") return &semanticTokensDelta;
  return nullptr;
}

}  // namespace vennik::lsp
