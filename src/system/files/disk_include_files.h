#pragma once
// The files an #INCLUDE names, read from the disk: regular files only, at
// most kMaxSourceBytes each, their bytes as they are.
#include "analysis/includes/include_files.h"

namespace vennik {

class DiskIncludeFiles : public IncludeFiles {
 public:
  FileRead read(const std::string& path) override;
  std::vector<std::string> namesIn(const std::string& folder) override;
};

}  // namespace vennik
