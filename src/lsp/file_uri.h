#pragma once
// Between file URIs, as editors name documents, and the paths of the files
// they stand for.
#include <optional>
#include <string>
#include <string_view>

#include "base/path_style.h"

namespace vennik::lsp {

// The path of a file: URI, percent escapes decoded; nothing for any other
// URI. POSIX: no host, or localhost. Windows: "file:///c%3A/dir/x.bas" is
// "c:/dir/x.bas", and a host names a server, "file://server/share/x.bas"
// being "//server/share/x.bas".
std::optional<std::string> pathOfFileUri(std::string_view uri, PathStyle style = kNativePathStyle);
// A file: URI for an absolute path, every byte but letters, digits, "-._~"
// and "/" escaped; on Windows "\" is "/", a drive's path gets the "/" before
// it and a server's path becomes the URI's host.
std::string fileUriOfPath(std::string_view path, PathStyle style = kNativePathStyle);

}  // namespace vennik::lsp
