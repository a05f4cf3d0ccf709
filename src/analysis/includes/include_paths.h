#pragma once
// Where the file an #INCLUDE line names is: its path taken from the folder
// of the file that holds the line, and, when no file has exactly that name,
// the one whose name differs only in case.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/includes/include_files.h"

namespace vennik {

// `written` ('/' or '\' between names) joined to the folder of `from`, with
// "." steps dropped and each ".." taken with the name before it: a board's
// FAT has no links that would make ".." lead elsewhere.
std::string includedPath(std::string_view from, std::string_view written);

// What a lookup that ignores case found: the one path, or, when a name
// matches more than one entry of its folder and none exactly, those entries
// (sorted), since a board's FAT could hold only one of them.
struct CaseMatch {
  std::optional<std::string> path;
  std::vector<std::string> ambiguous;
};

// The path of an existing file that `path` names when case is ignored
// (ASCII letters), name by name; an exact name is preferred. Neither a path
// nor `ambiguous` when there is none. Each folder is listed through `files`,
// which may keep the listing for the next lookup.
CaseMatch findIgnoringCase(const std::string& path, IncludeFiles& files);

// Whether `path` (as includedPath gives it) lies outside `folder` (a folder
// part with its trailing '/', or "" for the current folder): an absolute
// path under a relative folder, or ".." above it.
bool leavesFolder(std::string_view path, std::string_view folder);

}  // namespace vennik
