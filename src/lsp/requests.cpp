#include "lsp/requests.h"

#include <map>
#include <optional>
#include <string>

#include "language/across_programs.h"
#include "language/completion.h"
#include "language/hover.h"
#include "language/navigation.h"
#include "language/rename.h"
#include "language/symbols.h"
#include "lsp/feature_requests.h"
#include "lsp/messages.h"
#include "lsp/positions.h"

namespace vennik::lsp {

namespace {

// An open document's program, analysed as it is now, and which of the
// program's documents it is.
struct Asked {
  std::shared_ptr<const language::Program> held;
  const language::Program& program;
  language::DocumentId document;
  PositionConverter at;
};

std::optional<Asked> ask(Workspace& ws, const std::string& uri) {
  const OpenDocument* doc = ws.analysed(uri);
  if (!doc) return std::nullopt;
  const auto document = doc->program->findDocument(uri);
  if (!document) return std::nullopt;
  return Asked{doc->program, *doc->program, *document, PositionConverter(*doc->program, ws.encoding())};
}

json definition(Workspace& ws, const json& params) {
  const PositionParams p = readPositionParams(params);
  const auto a = ask(ws, p.uri);
  if (!a) return nullptr;
  return definitionResult(language::definition(a->program, a->document, a->at.toFeatures(a->document, p.position)),
                          a->at);
}

// Over every program that shares a file with the name's places.
json references(Workspace& ws, const json& params) {
  const ReferencesParams p = readReferencesParams(params);
  const auto a = ask(ws, p.at.uri);
  if (!a) return nullptr;
  return referencesResult(language::referencesAcross(ws, a->held, a->document,
                                                     a->at.toFeatures(a->document, p.at.position), p.includeDeclaration),
                          ws.encoding());
}

json hover(Workspace& ws, const json& params) {
  const PositionParams p = readPositionParams(params);
  const auto a = ask(ws, p.uri);
  if (!a) return nullptr;
  return hoverResult(
      language::hover(a->program, a->document, a->at.toFeatures(a->document, p.position), ws.library()), a->at);
}

json prepareRename(Workspace& ws, const json& params) {
  const PositionParams p = readPositionParams(params);
  const auto a = ask(ws, p.uri);
  if (!a) return nullptr;
  return prepareRenameResult(
      language::prepareRename(a->program, a->document, a->at.toFeatures(a->document, p.position)), a->at);
}

// Over every program that shares a file with the name's places, tried out
// on them before the answer.
json rename(Workspace& ws, const json& params) {
  const RenameParams p = readRenameParams(params);
  const auto a = ask(ws, p.at.uri);
  if (!a) throw RequestError{ErrorCode::RequestFailed, "the document is not open"};
  return renameResult(language::renameAcross(ws, a->held, a->document, a->at.toFeatures(a->document, p.at.position),
                                             p.newName, ws.keywords()),
                      p.newName, ws.encoding());
}

json completion(Workspace& ws, const json& params) {
  const PositionParams p = readPositionParams(params);
  const auto a = ask(ws, p.uri);
  if (!a) return nullptr;
  const language::Position at = a->at.toFeatures(a->document, p.position);
  return completionResult(language::completion(a->program, a->document, at, ws.keywords()),
                          a->at.toProtocol(a->document, language::typedWord(a->program, a->document, at)));
}

json documentSymbol(Workspace& ws, const json& params) {
  const auto a = ask(ws, readDocumentParams(params).uri);
  if (!a) return nullptr;
  return documentSymbolResult(language::documentSymbols(a->program, a->document), a->document, a->at);
}

}  // namespace

RequestHandler requestHandler(std::string_view method) {
  static const std::map<std::string, RequestHandler, std::less<>> handlers = {
      {"textDocument/definition", &definition},
      {"textDocument/references", &references},
      {"textDocument/documentSymbol", &documentSymbol},
      {"textDocument/hover", &hover},
      {"textDocument/prepareRename", &prepareRename},
      {"textDocument/rename", &rename},
      {"textDocument/completion", &completion},
  };
  auto it = handlers.find(method);
  return it == handlers.end() ? featureRequestHandler(method) : it->second;
}

TextRequestHandler textRequestHandler(std::string_view method) { return featureTextRequestHandler(method); }

}  // namespace vennik::lsp
