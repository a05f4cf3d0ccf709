#pragma once
// The BASIC sources under a folder, as an editor's workspace holds them, and
// whether a file has changed since it was last seen. The listing has bounds,
// so that a folder opened by mistake (a home folder, a whole disk) costs
// little: hidden folders and build folders are not entered, files over a
// size are left out, and the listing stops after a number of files. Links to
// folders are not followed, so that no folder is listed twice.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vennik {

struct SourceTreeLimits {
  size_t maxFiles = 10'000;               // sources listed
  size_t maxEntries = 200'000;            // names looked at, sources or not
  uint64_t maxFileBytes = uint64_t{1} << 20;
};

struct SourceTree {
  std::vector<std::string> files;       // the sources, in the order met (each folder's names sorted)
  std::vector<std::string> passedOver;  // hidden and build folders not entered
  std::vector<std::string> tooLarge;    // sources over maxFileBytes, left out
  bool full = false;                    // a limit stopped the listing: more sources may be there
  std::string error;                    // why the folder itself cannot be listed
};

// A .bas or .inc file, in any case.
bool isSourceName(std::string_view name);
// A folder the listing does not enter: a hidden one (its name starts with
// '.'), or one that holds what a build or a package manager made.
bool isPassedOverFolder(std::string_view name);

// What tells that a file has changed without reading it.
struct FileStamp {
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;  // the inode's change time, moved on by every write (Windows: the creation time)
  uint64_t size = 0;
  uint64_t inode = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// What the language server asks of the disk besides reading files, behind an
// interface so that a test or a fuzz target can give a disk of its own.
class SourceFolders {
 public:
  virtual ~SourceFolders() = default;
  // Paths with '/' between names; `folder` without a trailing '/'.
  virtual SourceTree list(const std::string& folder, const SourceTreeLimits& limits) = 0;
  // Nothing when there is no regular file at `path`.
  virtual std::optional<FileStamp> stamp(const std::string& path) = 0;
};

// One name in a folder as the listing sees it: a link to a file counts as
// the file, a link to a folder is no folder (it is not followed).
struct FolderEntry {
  enum class Kind { Folder, File, Other };
  std::string name;
  Kind kind = Kind::Other;
  uint64_t size = 0;  // a file's
};
// The names in `path` but "." and "..", in no order; false and `error` (the
// system's reason) when the folder cannot be read. Each system has its own
// (source_tree_posix.cpp, source_tree_windows.cpp).
bool listFolder(const std::string& path, std::vector<FolderEntry>& entries, std::string& error);

class DiskSourceFolders : public SourceFolders {
 public:
  SourceTree list(const std::string& folder, const SourceTreeLimits& limits) override;
  std::optional<FileStamp> stamp(const std::string& path) override;
};

}  // namespace vennik
