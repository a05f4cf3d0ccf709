#pragma once
// How far each file has come as the server sees it: a number that moves on
// whenever the file's text may have changed (an edit in its buffer, the
// buffer opened or closed, a change on the disk), so that whatever was made
// from a file can tell whether it still holds without reading it again; and
// what the disk said of each file when it was last read from there, so that
// a change made behind the editor's back is found by asking the disk for
// stamps alone.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "system/files/source_tree.h"

namespace vennik::lsp {

// A file changed on the disk, as the editor saw it.
struct FileChange {
  std::string uri;
  bool cameOrWent = false;  // created or deleted, not only changed
};

class FileVersions {
 public:
  // 0 for a file that has not changed since the session began.
  uint64_t of(const std::string& path) const {
    auto it = versions_.find(path);
    return it == versions_.end() ? 0 : it->second;
  }
  void bump(const std::string& path) { versions_[path] = ++counter_; }

  // Moves on when a file may have come or gone, which can change the file
  // an #INCLUDE line finds.
  uint64_t layout() const { return layout_; }
  void bumpLayout() { layout_ = ++counter_; }

  // What the disk said of a file just before it was read from there
  // (nothing: no file); kept the first time only, until the file is found
  // changed.
  void sawOnDisk(const std::string& path, SourceFolders& disk) {
    if (!seen_.contains(path)) seen_.emplace(path, disk.stamp(path));
  }
  struct Change {
    std::string path;
    bool cameOrWent = false;
  };
  // The files read from the disk whose stamps differ now, each counted as
  // changed (and, when it came or went, the layout too).
  std::vector<Change> changedOnDisk(SourceFolders& disk) {
    std::vector<Change> changed;
    for (auto& [path, stamp] : seen_) {
      std::optional<FileStamp> now = disk.stamp(path);
      if (now == stamp) continue;
      const bool cameOrWent = now.has_value() != stamp.has_value();
      if (cameOrWent) bumpLayout();
      stamp = now;
      bump(path);
      changed.push_back({path, cameOrWent});
    }
    return changed;
  }
  // The file is to be asked of the disk afresh when next read.
  void forget(const std::string& path) { seen_.erase(path); }

 private:
  std::map<std::string, uint64_t> versions_;
  std::map<std::string, std::optional<FileStamp>> seen_;
  uint64_t counter_ = 0;
  uint64_t layout_ = 0;
};

}  // namespace vennik::lsp
