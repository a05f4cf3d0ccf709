#pragma once
// Where the file an #INCLUDE line names is: its path taken from the folder
// of the file that holds the line, and, when no file has exactly that name,
// the one whose name differs only in case.
#include <optional>
#include <string>
#include <string_view>

#include "analysis/includes/include_files.h"

namespace vennik {

// `written` ('/' or '\' between names) joined to the folder of `from`, with
// "." steps dropped and each ".." taken with the name before it: a board's
// FAT has no links that would make ".." lead elsewhere.
std::string includedPath(std::string_view from, std::string_view written);

// The path of an existing file that `path` names when case is ignored
// (ASCII letters), name by name; an exact name is preferred. Nothing when
// there is none.
std::optional<std::string> findIgnoringCase(const std::string& path, IncludeFiles& files);

}  // namespace vennik
