#pragma once
// The folders of the editor's workspace and the sources they hold, listed
// within limits, with what the limits left out said in words for the log:
// each folder's notes once, and again only when they change, so that a
// listing after every save does not fill the log.
#include <map>
#include <string>
#include <vector>

#include "system/files/source_tree.h"

namespace vennik::lsp {

struct FolderNote {
  bool warning = false;  // something the user may miss: files left out
  std::string text;
};

class WorkspaceFolders {
 public:
  // The folders named by file URIs; anything else is noted and passed over.
  std::vector<FolderNote> set(const std::vector<std::string>& uris);
  std::vector<FolderNote> change(const std::vector<std::string>& added, const std::vector<std::string>& removed);
  const std::vector<std::string>& paths() const { return paths_; }

  // Lists every folder; `sources` gets the sources of all of them, no more
  // than the limit in all.
  std::vector<FolderNote> list(SourceFolders& disk, const SourceTreeLimits& limits, std::vector<std::string>& sources);

 private:
  std::vector<std::string> paths_;
  std::map<std::string, std::vector<std::string>> said_;  // by folder, the notes last given
};

}  // namespace vennik::lsp
