#pragma once
// The findings of an analysis as diagnostics: unpaired brackets and quotes,
// long lines, and names used without a declaration in a definition or the
// main program.
#include "jsonrpc.h"
#include "workspace.h"

namespace vennik::lsp {

// The params of a publishDiagnostics notification for the document.
json publishDiagnosticsParams(const OpenDocument& doc, PositionEncoding encoding);

}  // namespace vennik::lsp
