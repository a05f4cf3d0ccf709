#pragma once
// The requests of the features that read a program beyond definition and
// references (semantic tokens, call hierarchy, folding, signature help,
// document highlight, workspace symbols, code actions), in a table of their
// own that the main one falls back on.
#include <string_view>

#include "lsp/requests.h"

namespace vennik::lsp {

// The handler of a method, or null when these features have none.
RequestHandler featureRequestHandler(std::string_view method);
// The same for those whose result is written as text (semantic tokens).
TextRequestHandler featureTextRequestHandler(std::string_view method);

}  // namespace vennik::lsp
