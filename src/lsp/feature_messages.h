#pragma once
// The messages of the features that read a program beyond definition and
// references: semantic tokens, call hierarchy, folding, signature help,
// document highlight, workspace symbols and the declaring fix. Their
// parameters are read into structs, as in messages.h, and their replies
// built from the features' results; their capabilities are declared here
// too, and joined to the others in the reply to initialize.
#include <cstdint>
#include <string>
#include <vector>

#include "language/call_hierarchy.h"
#include "language/declare_fix.h"
#include "language/folding.h"
#include "language/highlights.h"
#include "language/semantic_tokens.h"
#include "language/signature_help.h"
#include "language/workspace_symbols.h"
#include "lsp/messages.h"

namespace vennik::lsp {

// The capabilities of these features, and the semantic tokens' legend.
json featureCapabilities();

// Parameters.

struct SemanticTokensDeltaParams {
  std::string uri;
  std::string previousResultId;
};
SemanticTokensDeltaParams readSemanticTokensDeltaParams(const json& params);

// A call hierarchy item as the client hands it back.
struct CallHierarchyItemParams {
  std::string uri;
  Position selection;  // its selectionRange's start
  bool mainProgram = false;
};
CallHierarchyItemParams readCallHierarchyItemParams(const json& params);

struct WorkspaceSymbolParams {
  std::string query;
};
WorkspaceSymbolParams readWorkspaceSymbolParams(const json& params);

struct CodeActionParams {
  std::string uri;
  Range range;
  json diagnostics = json::array();  // the context's, as the client sent them
  bool quickFixWanted = true;        // the context's "only" allows quick fixes
};
CodeActionParams readCodeActionParams(const json& params);

// Replies.

// The tokens of a document as the protocol packs them: five numbers each,
// the line and start relative to the token before, in the session's encoding.
std::vector<uint32_t> packSemanticTokens(const std::vector<language::SemanticToken>& tokens,
                                         language::DocumentId document, const PositionConverter& at);
// The result as JSON text, written straight from the numbers.
std::string semanticTokensText(const std::string& resultId, const std::vector<uint32_t>& data);
// The edit from the tokens last sent, `before`, to `data`, as JSON text.
std::string semanticTokensDeltaText(const std::string& resultId, const std::vector<uint32_t>& before,
                                    const std::vector<uint32_t>& data);

json callHierarchyItemJson(const language::CallHierarchyItem& item, PositionEncoding encoding);
// Incoming: each caller as "from", the places in its document. Outgoing:
// each definition called as "to", the places in the document of the item
// asked about, `itemUri`.
json hierarchyCallsResult(const std::vector<language::HierarchyCall>& calls, bool incoming, const std::string& itemUri,
                          PositionEncoding encoding);
json foldingRangesResult(const std::vector<language::FoldingRange>& ranges);
json signatureHelpResult(const std::optional<language::Signature>& signature, PositionEncoding encoding);
json documentHighlightsResult(const std::vector<language::Highlight>& highlights, language::DocumentId document,
                              const PositionConverter& at);
json workspaceSymbolsResult(const std::vector<language::WorkspaceSymbol>& symbols, PositionEncoding encoding);
json codeActionsResult(const std::vector<language::DeclareFix>& fixes, const json& diagnostics,
                       const PositionConverter& at);

}  // namespace vennik::lsp
