#pragma once
// JSON allows a \u escape of half a surrogate pair; the JSON library rejects
// it, and with it the whole message. A client whose strings are UTF-16 can
// send one (a lone half in an editor's buffer). The server takes it as
// U+FFFD, as the source files' reader takes a byte that is not UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace vennik::lsp {

// The body with every \u escape of a lone surrogate inside a string turned
// into \uFFFD; nothing when it holds none.
std::optional<std::string> withLoneSurrogatesReplaced(std::string_view body);

}  // namespace vennik::lsp
