#pragma once
// The requests the server answers after initialize: each reads its typed
// parameters, asks the language features, and builds the reply.
#include <string_view>

#include "lsp/jsonrpc.h"
#include "lsp/workspace.h"

namespace vennik::lsp {

using RequestHandler = json (*)(Workspace& ws, const json& params);

// The handler of a method, or null when the server has none.
RequestHandler requestHandler(std::string_view method);

}  // namespace vennik::lsp
