#pragma once
// Document symbols: definitions with their parameters and locals, labels,
// and the global names.
#include "jsonrpc.h"
#include "workspace.h"

namespace vennik::lsp {

json documentSymbols(const Workspace& ws, const json& params);

}  // namespace vennik::lsp
