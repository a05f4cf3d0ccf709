#pragma once
// Where the file an #INCLUDE line names is: its path taken from the folder
// of the file that holds the line, and, when no file has exactly that name,
// the one whose name differs only in case.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/includes/include_files.h"
#include "base/path_style.h"

namespace vennik {

// How long the root a path begins with is: "/" on POSIX systems; on Windows
// (with '/' between names) "C:/", "//server/share/" or "/". 0 for a
// relative path.
size_t rootLength(std::string_view path, PathStyle style = kNativePathStyle);
inline bool isAbsolutePath(std::string_view path, PathStyle style = kNativePathStyle) {
  return rootLength(path, style) > 0;
}

// Whether two paths name the same file as the system sees it: Windows
// ignores the case of letters.
bool samePath(std::string_view a, std::string_view b, PathStyle style = kNativePathStyle);

// `written` ('/' or '\' between names) joined to the folder of `from`, with
// "." steps dropped and each ".." taken with the name before it: a board's
// FAT has no links that would make ".." lead elsewhere. The result has '/'
// between its names, on Windows too, where a root ("C:/", a server's share)
// stays as it is.
std::string includedPath(std::string_view from, std::string_view written, PathStyle style = kNativePathStyle);

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
CaseMatch findIgnoringCase(const std::string& path, IncludeFiles& files, PathStyle style = kNativePathStyle);

// Whether `path` (as includedPath gives it) lies outside `folder` (a folder
// part with its trailing '/', or "" for the current folder): an absolute
// path under a relative folder, or ".." above it.
bool leavesFolder(std::string_view path, std::string_view folder, PathStyle style = kNativePathStyle);

}  // namespace vennik
