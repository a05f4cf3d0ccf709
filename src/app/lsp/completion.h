#pragma once
// Completion: the names visible at the position (its definition's own names,
// then the global names, then the definitions), then the keywords.
#include "jsonrpc.h"
#include "workspace.h"

namespace vennik::lsp {

json completion(const Workspace& ws, const json& params);

}  // namespace vennik::lsp
