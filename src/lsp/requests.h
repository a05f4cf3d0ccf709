#pragma once
// The requests the server answers after initialize: each reads its typed
// parameters, asks the language features, and builds the reply.
#include <string>
#include <string_view>

#include "lsp/jsonrpc.h"
#include "lsp/workspace.h"

namespace vennik::lsp {

using RequestHandler = json (*)(Workspace& ws, const json& params);

// The handler of a method, or null when the server has none.
RequestHandler requestHandler(std::string_view method);

// A request whose result is written as JSON text: one too large to build as
// JSON values first (the semantic tokens of a long file are hundreds of
// thousands of numbers).
using TextRequestHandler = std::string (*)(Workspace& ws, const json& params);
// Its handler, or null.
TextRequestHandler textRequestHandler(std::string_view method);

}  // namespace vennik::lsp
