#pragma once
// Rename: every place of the name's row (for a SUB or FUNCTION, its headers
// and every call), refused for names that are not names, keywords, and
// names that would meet an existing one.
#include <string>
#include <string_view>
#include <vector>

#include "jsonrpc.h"
#include "workspace.h"

namespace vennik::lsp {

// The range and text of the name at the position, or null.
json prepareRename(const Workspace& ws, const json& params);
// A WorkspaceEdit; a refused name is a RequestError with the reason.
json rename(const Workspace& ws, const json& params);

// Why `newName` cannot replace the name of `rows`, or empty when it can.
// `rows` must hold every row that shares a place with one of them.
std::string renameRefusal(const NameLookup& index, const KeywordTable& keywords, const std::vector<int32_t>& rows,
                          std::string_view oldName, std::string_view newName);

}  // namespace vennik::lsp
