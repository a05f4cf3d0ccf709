#pragma once
// The protocol's typed messages, all in one place: the parameters of what the
// client sends, read into structs (a missing field or one of the wrong type
// is an InvalidParams error that names it), and the replies built from the
// language features' results.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/jsonrpc.h"
#include "language/across_programs.h"
#include "language/completion.h"
#include "language/diagnostics.h"
#include "language/hover.h"
#include "language/rename.h"
#include "language/symbols.h"
#include "lsp/positions.h"
#include "lsp/position_encoding.h"
#include "lsp/project/file_versions.h"
#include "lsp/text_document.h"

namespace vennik::lsp {

// The protocol's numbers, by the names it gives them. nlohmann::json writes
// an enumeration as its number.

// Error codes of responses: JSON-RPC's own, then the protocol's.
enum class ErrorCode : int {
  ParseError = -32700,
  InvalidRequest = -32600,
  MethodNotFound = -32601,
  InvalidParams = -32602,
  InternalError = -32603,
  ServerNotInitialized = -32002,
  RequestFailed = -32803,
};

enum class SymbolKind : int {
  File = 1,
  Module = 2,
  Namespace = 3,
  Package = 4,
  Class = 5,
  Method = 6,
  Property = 7,
  Field = 8,
  Constructor = 9,
  Enum = 10,
  Interface = 11,
  Function = 12,
  Variable = 13,
  Constant = 14,
  String = 15,
  Number = 16,
  Boolean = 17,
  Array = 18,
  Object = 19,
  Key = 20,
  Null = 21,
  EnumMember = 22,
  Struct = 23,
  Event = 24,
  Operator = 25,
  TypeParameter = 26,
};

enum class CompletionItemKind : int {
  Text = 1,
  Method = 2,
  Function = 3,
  Constructor = 4,
  Field = 5,
  Variable = 6,
  Class = 7,
  Interface = 8,
  Module = 9,
  Property = 10,
  Unit = 11,
  Value = 12,
  Enum = 13,
  Keyword = 14,
  Snippet = 15,
  Color = 16,
  File = 17,
  Reference = 18,
  Folder = 19,
  EnumMember = 20,
  Constant = 21,
  Struct = 22,
  Event = 23,
  Operator = 24,
  TypeParameter = 25,
};

enum class DiagnosticSeverity : int { Error = 1, Warning = 2, Information = 3, Hint = 4 };

// How the client sends a document's changes.
enum class TextDocumentSyncKind : int { None = 0, Full = 1, Incremental = 2 };

// The kind of a window/showMessage.
enum class MessageType : int { Error = 1, Warning = 2, Info = 3, Log = 4 };

// A failure that a request caused, answered as an error response.
struct RequestError {
  ErrorCode code = ErrorCode::InvalidParams;
  std::string message;
};

json errorResponse(const json& id, ErrorCode code, std::string_view message);

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
  // The workspace's folders as URIs: workspaceFolders, else rootUri, else
  // rootPath.
  std::vector<std::string> workspaceFolders;
  // Whether the client takes a registration for didChangeWatchedFiles.
  bool watchedFilesRegistration = false;
  // Whether the client takes workspace/semanticTokens/refresh.
  bool semanticTokensRefresh = false;
};
// Capabilities are read leniently: anything malformed reads as absent.
InitializeParams readInitializeParams(const json& params);

// The settings of workspace/didChangeConfiguration: vennikplus.keywords,
// nested as clients send a section or as one dotted key.
KeywordsSetting readConfigurationKeywords(const json& params);
// The same for vennikplus.reading.
KeywordsSetting readConfigurationReading(const json& params);

// workspace/didChangeWatchedFiles: the files that changed, and whether
// each was created or deleted.
std::vector<FileChange> readWatchedFileChanges(const json& params);

// workspace/didChangeWorkspaceFolders: the folders' URIs.
struct FolderChanges {
  std::vector<std::string> added;
  std::vector<std::string> removed;
};
FolderChanges readWorkspaceFoldersChange(const json& params);

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

// What the replies are built of.
json toJson(Position p);
json toJson(const Range& r);
json toJson(const language::Location& l, const PositionConverter& at);
SymbolKind symbolKind(language::SymbolKind kind);

json initializeResult(PositionEncoding encoding, bool prepareRenameSupport);
// Null when there is nowhere to go.
json definitionResult(const std::vector<language::Location>& places, const PositionConverter& at);
// References gathered across programs; null when no name stands there.
json referencesResult(const language::PlacesAcross& found, PositionEncoding encoding);
// A WorkspaceEdit over every program's files; a refusal is a RequestError
// with the reason.
json renameResult(const language::PlacesAcross& found, const std::string& newName, PositionEncoding encoding);
json hoverResult(const std::optional<language::HoverText>& hover, const PositionConverter& at);
json prepareRenameResult(const std::optional<language::RenameStart>& start, const PositionConverter& at);
json documentSymbolResult(const std::vector<language::Symbol>& symbols, language::DocumentId document,
                          const PositionConverter& at);
// Each item replaces the word being typed, `typed`.
json completionResult(const std::vector<language::CompletionItem>& items, const Range& typed);
json publishDiagnosticsParams(language::DocumentId document, int32_t version,
                              const std::vector<language::Diagnostic>& diagnostics, const PositionConverter& at);
json clearDiagnosticsParams(const std::string& uri);
// window/showMessage with an error for the user.
json showErrorParams(const std::string& message);
// window/logMessage.
json logMessageParams(MessageType type, const std::string& message);
// client/registerCapability for workspace/didChangeWatchedFiles on every
// .bas and .inc file, in any case.
json watchedFilesRegistrationParams();

}  // namespace vennik::lsp
