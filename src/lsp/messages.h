#pragma once
// The protocol's typed messages, all in one place: the parameters of what the
// client sends, read into structs (a missing field or one of the wrong type
// is an InvalidParams error that names it), and the replies built from the
// language features' results.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lsp/jsonrpc.h"
#include "language/completion.h"
#include "language/diagnostics.h"
#include "language/hover.h"
#include "language/rename.h"
#include "language/symbols.h"
#include "lsp/positions.h"
#include "lsp/position_encoding.h"
#include "lsp/text_document.h"

namespace vennik::lsp {

// Parameters.

// The keyword list an editor names: absent, or a value that should be a
// name or a path (an empty one means the list the server started with).
struct KeywordsSetting {
  bool present = false;
  std::optional<std::string> choice;  // nullopt: present but not a string
};

struct InitializeParams {
  std::vector<std::string> positionEncodings;  // as the client offers them
  bool prepareRenameSupport = false;
  KeywordsSetting keywords;  // initializationOptions.keywords
  KeywordsSetting reading;   // initializationOptions.reading: firmware or literal
};
// Capabilities are read leniently: anything malformed reads as absent.
InitializeParams readInitializeParams(const json& params);

// The settings of workspace/didChangeConfiguration: vennikplus.keywords,
// nested as clients send a section or as one dotted key.
KeywordsSetting readConfigurationKeywords(const json& params);
// The same for vennikplus.reading.
KeywordsSetting readConfigurationReading(const json& params);

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
// window/showMessage with an error for the user.
json showErrorParams(const std::string& message);

}  // namespace vennik::lsp
