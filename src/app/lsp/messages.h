#pragma once
// The protocol's typed messages, all in one place: the parameters of what the
// client sends, read into structs (a missing field or one of the wrong type
// is an InvalidParams error that names it), and the replies built from the
// language features' results.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jsonrpc.h"
#include "language/completion.h"
#include "language/diagnostics.h"
#include "language/hover.h"
#include "language/rename.h"
#include "language/symbols.h"
#include "positions.h"
#include "position_encoding.h"
#include "text_document.h"

namespace vennik::lsp {

// Parameters.

struct InitializeParams {
  std::vector<std::string> positionEncodings;  // as the client offers them
  bool prepareRenameSupport = false;
};
// Capabilities are read leniently: anything malformed reads as absent.
InitializeParams readInitializeParams(const json& params);

struct DocumentParams {
  std::string uri;
};
DocumentParams readDocumentParams(const json& params);

struct PositionParams {
  std::string uri;
  Position position;
};
PositionParams readPositionParams(const json& params);

struct ReferencesParams {
  PositionParams at;
  bool includeDeclaration = true;
};
ReferencesParams readReferencesParams(const json& params);

struct RenameParams {
  PositionParams at;
  std::string newName;
};
RenameParams readRenameParams(const json& params);

struct DidOpenParams {
  std::string uri;
  int32_t version = 0;
  std::string text;
};
// Takes the text out of `params`.
DidOpenParams readDidOpenParams(json& params);

struct DidChangeParams {
  std::string uri;
  int32_t version = 0;
  std::vector<ContentChange> changes;
};
DidChangeParams readDidChangeParams(json& params);

// Replies and notifications.

json initializeResult(PositionEncoding encoding, bool prepareRenameSupport);
// Null when there is nowhere to go.
json definitionResult(const std::vector<language::Location>& places, const PositionConverter& at);
json referencesResult(const std::optional<std::vector<language::Location>>& places, const PositionConverter& at);
json hoverResult(const std::optional<language::HoverText>& hover, const PositionConverter& at);
json prepareRenameResult(const std::optional<language::RenameStart>& start, const PositionConverter& at);
// A WorkspaceEdit; a refusal is a RequestError with the reason.
json renameResult(const language::RenameOutcome& outcome, const std::string& newName, const PositionConverter& at);
json documentSymbolResult(const std::vector<language::Symbol>& symbols, language::DocumentId document,
                          const PositionConverter& at);
json completionResult(const std::vector<language::CompletionItem>& items);
json publishDiagnosticsParams(language::DocumentId document, int32_t version,
                              const std::vector<language::Diagnostic>& diagnostics, const PositionConverter& at);
json clearDiagnosticsParams(const std::string& uri);

}  // namespace vennik::lsp
