#pragma once
// Go to definition and find references.
#include "jsonrpc.h"
#include "workspace.h"

namespace vennik::lsp {

// A call of a SUB or FUNCTION goes to its header; any other name to the
// place where the analysis created its row, in the scope it resolves to.
json definition(const Workspace& ws, const json& params);
// Every place of the name's row; for a SUB or FUNCTION every call in every
// scope and its header. context.includeDeclaration leaves the header (or the
// row's first place) in or out.
json references(const Workspace& ws, const json& params);

}  // namespace vennik::lsp
