#pragma once
// Hover: the name's scope, its kind in words, how many lines use it, and
// whether it is in the Library.
#include "jsonrpc.h"
#include "workspace.h"

namespace vennik::lsp {

json hover(const Workspace& ws, const json& params);

}  // namespace vennik::lsp
