#pragma once
// Between file URIs, as editors name documents, and the paths of the files
// they stand for.
#include <optional>
#include <string>
#include <string_view>

namespace vennik::lsp {

// The path of a file: URI (no host, or localhost), percent escapes decoded;
// nothing for any other URI.
std::optional<std::string> pathOfFileUri(std::string_view uri);
// A file: URI for an absolute path, every byte but letters, digits, "-._~"
// and "/" escaped.
std::string fileUriOfPath(std::string_view path);

}  // namespace vennik::lsp
